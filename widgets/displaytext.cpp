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

bool isDirectionControl(QChar c)
{
    const char16_t code = c.unicode();
    return code == 0x061C || code == 0x200E || code == 0x200F ||
           (code >= 0x202A && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

} // namespace

QString boundedForDisplay(QStringView text, qsizetype limit)
{
    QString shown = text.size() <= limit ? text.toString()
                                         : text.first(takeFrom(text, 0, limit)).toString() + u'…';
    shown.removeIf(isDirectionControl);
    return shown;
}

QString wrappableForDisplay(const QString &text, qsizetype longest)
{
    QString wrappable;
    wrappable.reserve(text.size() + text.size() / longest);
    qsizetype run = 0;
    for (const QChar c : text) {
        if (c.isSpace() || c == QChar(0x200B)) {
            run = 0;
        } else if (run >= longest && !c.isLowSurrogate()) {
            wrappable += QChar(0x200B);
            run = 0;
        }
        ++run;
        wrappable += c;
    }
    return wrappable;
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
    // Wrapped like any tooltip, at blanks and within long runs: a version of a thousand digits
    // would otherwise make a tooltip wider than the screen.
    return Qt::convertFromPlainText(wrappableForDisplay(text), Qt::WhiteSpaceNormal);
}

} // namespace zonara
