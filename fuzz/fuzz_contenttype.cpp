// The Content-Type header and the charset a page declares: the input's first line is the
// header, the rest the body, read with limits small enough that a page runs past them.
#include "documenttext.h"

#include <chrono>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    const qsizetype lineEnd = input.indexOf('\n');
    const QByteArray contentType = lineEnd < 0 ? input : input.left(lineEnd);
    const QByteArray body = lineEnd < 0 ? QByteArray() : input.mid(lineEnd + 1);

    (void)zonara::isHtmlContentType(contentType);
    (void)zonara::decodeBody(body, contentType);
    zonara::ParseLimits limits;
    limits.time = std::chrono::milliseconds(200);
    limits.memory = std::size_t(1 + size % 4) << 20;
    const QString text = zonara::documentText(body, contentType, limits).value_or(QString());
    // Every line end is CR LF.
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r'))
            __builtin_trap();
    }
    return 0;
}
