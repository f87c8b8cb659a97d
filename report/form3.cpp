#include "form3.h"

#include "answer.h"
#include "module1.h"
#include "pageloader.h"

namespace zonara {

Form3::Form3(QWidget *parent)
    : FixedDialog(parent)
    , m_loader(new PageLoader(this))
{
    m_ui.setupUi(this);
    fixLayout();
    m_loader->setObjectName(QStringLiteral("DHTMLEdit1"));
    setDefaultButton(m_ui.Command1);
    focusFirstAvailable({m_ui.Command1, m_ui.Text1});
    connect(m_ui.Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_loader, &PageLoader::documentComplete, this, &Form3::showAnswer);
    m_loader->load(Module1::URL2load);
}

void Form3::showAnswer()
{
    const Answer answer = extractAnswer(m_loader->documentHtml());
    setWindowTitle(answer.caption);
    // Shown as plain text: the answer's markup is never rendered.
    QString text = answer.text;
    text.replace(QLatin1StringView("\r\n"), QLatin1StringView("\n")).replace(u'\r', u'\n');
    m_ui.Text1->setPlainText(text);
}

} // namespace zonara
