#include "displaytext.h"

#include <QTextDocument>

#include <algorithm>

namespace zonara {

namespace {

// How many characters of `text` from `from` on to take, at most `count`, without splitting a
// surrogate pair; at least one whole character.
qsizetype takeFrom(QStringView text, qsizetype from, qsizetype count)
{
    if (count <= 0 || !text.at(from + count - 1).isHighSurrogate())
        return count;
    return count > 1 ? count - 1 : std::min<qsizetype>(2, text.size() - from);
}

} // namespace

QString boundedForDisplay(const QString &text, qsizetype limit)
{
    if (text.size() <= limit)
        return text;
    return text.first(takeFrom(text, 0, limit)) + u'…';
}

QString brokenForDisplay(const QString &text, qsizetype longest)
{
    QString broken;
    broken.reserve(text.size() + text.size() / longest + 1);
    qsizetype lineStart = 0;
    while (lineStart < text.size()) {
        qsizetype lineEnd = text.indexOf(u'\n', lineStart);
        if (lineEnd < 0)
            lineEnd = text.size();
        qsizetype pieceStart = lineStart;
        while (lineEnd - pieceStart > longest) {
            const qsizetype pieceEnd = pieceStart + takeFrom(text, pieceStart, longest);
            broken += QStringView(text).sliced(pieceStart, pieceEnd - pieceStart);
            broken += u'\n';
            pieceStart = pieceEnd;
        }
        broken += QStringView(text).sliced(pieceStart, lineEnd - pieceStart);
        if (lineEnd < text.size())
            broken += u'\n';
        lineStart = lineEnd + 1;
    }
    return broken;
}

QString plainToolTip(const QString &text)
{
    return Qt::convertFromPlainText(text, Qt::WhiteSpacePre);
}

} // namespace zonara
