#include "form2.h"

#include "mainwindowfields.h"
#include "module1.h"

namespace zonara {

Form2::Form2(const MainWindowFields &mainWindow, const QStringList &domainSuffixes, QWidget *parent)
    : FixedDialog(parent)
    , m_mainWindow(mainWindow)
{
    m_ui.setupUi(this);
    fixLayout();
    m_ui.Combo1->addItems(domainSuffixes);
    focusFirstAvailable({m_ui.Text1, m_ui.Combo1, m_ui.Check1});
    connect(m_ui.Command1, &QPushButton::clicked, this, &Form2::submit);
    connect(m_ui.Command2, &QPushButton::clicked, this, &QDialog::reject);

    m_ui.Combo1->setCurrentIndex(0);
    m_ui.Combo2->setCurrentIndex(0);
}

void Form2::submit()
{
    const QString address = m_mainWindow.memberRequests().addHost(
        m_ui.Combo2->currentIndex(), m_ui.Text1->text(), m_ui.Combo1->currentText(),
        m_ui.Text2->text(), m_ui.Check1->isChecked());
    Module1::ShowReport(address);
    accept();
}

} // namespace zonara
