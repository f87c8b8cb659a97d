#pragma once

#include <QObject>

class QPushButton;
class QWidget;

namespace zonara {

// Keeps a window's default button drawn as the default button whenever the focus in its window
// is on anything but another push button, which then shows the frame itself. A dialog does this
// on its own; in any other window a push button gives the frame up for good the first time it
// loses the focus. Only the frame: which button Enter presses is the window's business.
// Owned by the button.
class DefaultButtonFrame final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DefaultButtonFrame)

public:
    explicit DefaultButtonFrame(QPushButton &button);

private:
    void followFocus(QWidget *old, QWidget *now);

    QPushButton &m_button;
};

} // namespace zonara
