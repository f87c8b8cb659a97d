#include "answer.h"

#include <algorithm>
#include <optional>

namespace zonara {

namespace {

// Where `marker` (lower case, starting with '<') first occurs in `document` in any letter case,
// each code unit lowered on its own; -1 where it does not. Only a '<' lowers to '<', so the search
// looks at nothing else first: the document is never copied, whatever its size.
qsizetype markerAt(QStringView document, QStringView marker)
{
    const auto sameLowered = [](QChar lowered, QChar c) {
        return c.toLower() == lowered;
    };
    for (qsizetype at = document.indexOf(u'<'); at >= 0 && at <= document.size() - marker.size();
         at = document.indexOf(u'<', at + 1)) {
        if (std::equal(marker.begin(), marker.end(), document.begin() + at, sameLowered))
            return at;
    }
    return -1;
}

// The text between the first `open` and the first `close` marker, or nothing when the
// arithmetic on their 1-based positions (0 for a missing one) gives a negative length.
std::optional<QStringView> between(QStringView document, QStringView open, QStringView close)
{
    const qsizetype openAt = markerAt(document, open) + 1;
    const qsizetype closeAt = markerAt(document, close) + 1;
    const qsizetype length = closeAt - openAt - open.size();
    if (length < 0)
        return std::nullopt;
    const qsizetype start = openAt + open.size() - 1; // 0-based
    if (start >= document.size())
        return QStringView();
    return document.sliced(start, std::min(length, document.size() - start));
}

} // namespace

Answer extractAnswer(QStringView document)
{
    QStringView extracted;
    if (auto title = between(document, u"<title>", u"</title>"))
        extracted = *title;
    Answer answer;
    answer.caption = extracted;

    if (auto block = between(document, u"<pre>", u"</pre>"))
        extracted = *block;
    answer.text = extracted;
    return answer;
}

} // namespace zonara
