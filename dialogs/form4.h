#pragma once

#include "ui_form4.h"
#include "windowstyle.h"

namespace zonara {

class MainWindowFields;

// The edit-host dialog: changes the selected host's IP address and wildcard option.
class Form4 final : public FixedDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form4)

public:
    // `localIpAddress` is what the platform's socket reports for this machine.
    Form4(const MainWindowFields &mainWindow, const QString &localIpAddress,
          QWidget *parent = nullptr);

private:
    void submit();

    Ui::Form4 m_ui;
    const MainWindowFields &m_mainWindow;
};

} // namespace zonara
