#include "answer.h"

namespace zonara {

namespace {

// One code unit for one code unit, so that positions in the copy are positions in the original.
QString lowerCaseCopy(QStringView text)
{
    QString copy(text.size(), Qt::Uninitialized);
    QChar *out = copy.data();
    for (const QChar c : text)
        *out++ = c.toLower();
    return copy;
}

// The text between the first `open` and the first `close` marker, or nothing when the
// arithmetic on their 1-based positions (0 for a missing one) gives a negative length.
std::optional<QString> between(QStringView document, QStringView search, QStringView open,
                               QStringView close)
{
    const qsizetype openAt = search.indexOf(open) + 1;
    const qsizetype closeAt = search.indexOf(close) + 1;
    const qsizetype length = closeAt - openAt - open.size();
    if (length < 0)
        return std::nullopt;
    const qsizetype start = openAt + open.size() - 1; // 0-based
    if (start >= document.size())
        return QString();
    return document.sliced(start, std::min(length, document.size() - start)).toString();
}

} // namespace

Answer extractAnswer(QStringView document)
{
    const QString search = lowerCaseCopy(document);
    QString extracted;

    if (auto title = between(document, search, u"<title>", u"</title>"))
        extracted = std::move(*title);
    Answer answer;
    answer.caption = extracted;

    if (auto block = between(document, search, u"<pre>", u"</pre>"))
        extracted = std::move(*block);
    answer.text = extracted;
    return answer;
}

} // namespace zonara
