#pragma once

#include <QStringView>

#include <algorithm>

namespace zonara {

// Calls `visit` with each line of `text`, the way the member service's and the publisher's pages
// are read: a line ends at a carriage return, and the one character after it (the line feed of
// a CR LF pair, whatever it is) goes with it. The text after the last carriage return is no line.
// No line is copied.
template <typename Visit> void forEachLine(QStringView text, Visit visit)
{
    qsizetype lineStart = 0;
    for (qsizetype lineEnd = text.indexOf(u'\r'); lineEnd >= 0;
         lineEnd = text.indexOf(u'\r', lineStart)) {
        const QStringView line = text.sliced(lineStart, lineEnd - lineStart);
        lineStart = std::min(lineEnd + 2, text.size());
        visit(line);
    }
}

} // namespace zonara
