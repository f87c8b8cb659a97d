#pragma once

#include <QApplication>

namespace zonara {

// The program's application object: no exception crosses one of its event handlers. Memory that
// runs out in a handler ends that handler, never the program; every loader, reader and list
// handles its own shortage where it can say what was lost, and this is the last net.
class Application final : public QApplication
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Application)

public:
    using QApplication::QApplication;
    ~Application() override = default;

    bool notify(QObject *receiver, QEvent *event) override;
};

} // namespace zonara
