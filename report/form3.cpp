#include "form3.h"

#include "answer.h"
#include "displaytext.h"
#include "pageloader.h"
#include "windowcaption.h"

namespace zonara {

namespace {

// The member service's answers are a few lines of text.
constexpr qsizetype LongestAnswerShown = 1'000'000;
constexpr qsizetype LongestAnswerLine = 2'000;
// The text box builds a block for every line on the window's thread, a few microseconds each;
// past this many lines the answer is cut, as past LongestAnswerShown characters.
constexpr qsizetype MostAnswerLinesShown = 10'000;

// The first `most` lines of `text` (lines end at "\n"), followed by "…" when more follow.
QString firstLines(QString text, qsizetype most)
{
    qsizetype end = -1;
    for (qsizetype line = 0; line < most; ++line) {
        end = text.indexOf(u'\n', end + 1);
        if (end < 0)
            return text;
    }
    if (end + 1 == text.size())
        return text;
    text.truncate(end + 1);
    text += u'\u2026';
    return text;
}

} // namespace

Form3::Form3(const QString &address, QWidget *parent)
    : FixedDialog(parent)
    , m_loader(new PageLoader(this))
{
    m_ui.setupUi(this);
    fixLayout();
    m_loader->setObjectName(QStringLiteral("DHTMLEdit1"));
    // Read-only, yet the keyboard moves through the answer as in any text box (Ctrl+End, arrows);
    // Qt's read-only text box would only take the mouse.
    m_ui.Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    setDefaultButton(m_ui.Command1);
    focusFirstAvailable({m_ui.Command1, m_ui.Text1});
    connect(m_ui.Command1, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_loader, &PageLoader::documentComplete, this, &Form3::showAnswer);
    // Work shows until the answer does; the text itself stays empty.
    m_ui.Text1->setPlaceholderText(tr("Waiting for the member service's answer\u2026"));
    // As readable as the answer will be: the style's placeholder grey is too faint.
    QPalette palette = m_ui.Text1->palette();
    palette.setColor(QPalette::PlaceholderText, palette.color(QPalette::Text));
    m_ui.Text1->setPalette(palette);
    m_waiting.emplace();
    m_loader->load(address);
}

void Form3::showAnswer(const QString &document, const LoadOutcome &outcome)
{
    m_waiting.reset();
    m_ui.Text1->setPlaceholderText(QString());
    // The loader's error page would read as if nothing had been sent; a change that went out may
    // have been made, and sending it again (an Add) would make it twice.
    if (outcome.requestSent && outcome.failure != LoadFailure::None &&
        outcome.failure != LoadFailure::ErrorStatus) {
        showExactCaption(*this, tr("Change sent, answer not shown"));
        m_ui.Text1->setPlainText(
            tr("The change went out to the member service, but its answer could not be shown "
               "(%1).\n\nRetrieve the hosts to see whether it was made before you send it again.")
                .arg(boundedForDisplay(outcome.reason, LongestAnswerLine)));
        return;
    }
    const Answer answer = extractAnswer(document);
    showExactCaption(*this, answer.caption);
    // Shown as plain text: the answer's markup is never rendered. The text box wraps long lines
    // at its width, in time that grows with the square of a line's length: lines beyond a few
    // screenfuls are broken for it first, and an answer beyond any real one, in characters or in
    // lines, is cut.
    QString text = boundedForDisplay(answer.text, LongestAnswerShown);
    text.replace(QLatin1StringView("\r\n"), QLatin1StringView("\n")).replace(u'\r', u'\n');
    m_ui.Text1->setPlainText(
        firstLines(brokenForDisplay(text, LongestAnswerLine), MostAnswerLinesShown));
}

} // namespace zonara
