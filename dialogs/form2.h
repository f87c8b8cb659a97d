#pragma once

#include "ui_form2.h"
#include "windowstyle.h"

#include <QStringList>

namespace zonara {

class MainWindowFields;

// The add-host dialog: collects a new host's settings and sends the add request.
class Form2 final : public FixedDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Form2)

public:
    Form2(const MainWindowFields &mainWindow, const QStringList &domainSuffixes,
          QWidget *parent = nullptr);

private:
    void submit();

    Ui::Form2 m_ui;
    const MainWindowFields &m_mainWindow;
};

} // namespace zonara
