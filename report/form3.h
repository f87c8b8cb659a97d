#pragma once

#include "busypointer.h"
#include "loadoutcome.h"
#include "ui_form3.h"
#include "windowstyle.h"

#include <optional>

namespace zonara {

class PageLoader;

// The report window: loads one change request and shows the answer's title as its caption and
// the answer's preformatted block as its text. Closing it abandons a load still in flight.
class Form3 final : public FixedDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form3)

public:
    // Sends the change request `address` at once (Module1::ShowReport hands it URL2load).
    explicit Form3(const QString &address, QWidget *parent = nullptr);

private:
    void showAnswer(const QString &document, const LoadOutcome &outcome);

    Ui::Form3 m_ui;
    std::optional<BusyPointer> m_waiting;
    PageLoader *m_loader;
};

} // namespace zonara
