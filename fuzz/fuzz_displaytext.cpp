// The display bounding every network text passes through: the first byte picks the limits, the
// rest is UTF-16 (so that lone and split surrogates arrive).
#include "displaytext.h"

#include <QList>

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const qsizetype limit = data[0] % 64;
    const qsizetype longest = 1 + limit;
    const QString text(reinterpret_cast<const QChar *>(data + 1), qsizetype((size - 1) / 2));

    // Never longer than the limit (or one whole character) and its ellipsis, and no direction
    // control shown.
    const QString bounded = zonara::boundedForDisplay(text, limit);
    if (bounded.size() > std::max<qsizetype>(limit, 2) + 1) // a pair is one character
        __builtin_trap();
    for (const QChar c : bounded) {
        const char16_t code = c.unicode();
        if (code == 0x202E || code == 0x200F || code == 0x2066 || code == 0x061C)
            __builtin_trap();
    }
    // Breaking only adds line breaks, and leaves no line longer than `longest` (a surrogate
    // pair, one character, may stand alone on a line of two).
    const QString broken = zonara::brokenForDisplay(text, longest);
    if (QString(broken).remove(u'\n') != QString(text).remove(u'\n'))
        __builtin_trap();
    for (const QStringView line : QStringView(broken).split(u'\n')) {
        if (line.size() > std::max<qsizetype>(longest, 2))
            __builtin_trap();
    }
    // Wrapping only adds invisible break opportunities.
    const QString wrappable = zonara::wrappableForDisplay(text, longest);
    if (QString(wrappable).remove(QChar(0x200B)) != QString(text).remove(QChar(0x200B)))
        __builtin_trap();
    (void)zonara::plainToolTip(text.left(4096));
    return 0;
}
