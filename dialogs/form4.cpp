#include "form4.h"

#include "mainwindowfields.h"
#include "module1.h"
#include "readonlydisplay.h"

namespace zonara {

Form4::Form4(const MainWindowFields &mainWindow, const QString &localIpAddress, QWidget *parent)
    : FixedDialog(parent)
    , m_mainWindow(mainWindow)
{
    m_ui.setupUi(this);
    fixLayout();
    focusFirstAvailable({m_ui.Text1, m_ui.Check1, m_ui.Combo2, m_ui.Text2});
    connect(m_ui.Command1, &QPushButton::clicked, this, &Form4::submit);
    connect(m_ui.Command2, &QPushButton::clicked, this, &QDialog::reject);

    // Which host is edited, and its type: disabled, yet as readable as any text.
    showTextAsEnabled(*m_ui.Combo2);
    showTextAsEnabled(*m_ui.Text1);
    m_ui.Combo2->setCurrentIndex(mainWindow.typeDisplayIndex());
    m_ui.Text1->setText(mainWindow.selectedHostName());
    m_ui.Text2->setText(localIpAddress);
}

void Form4::submit()
{
    const QString address = m_mainWindow.memberRequests().editHost(
        m_ui.Combo2->currentIndex(), m_mainWindow.selectedHostId(), m_ui.Text2->text(),
        m_ui.Check1->isChecked());
    Module1::ShowReport(address);
    accept();
}

} // namespace zonara
