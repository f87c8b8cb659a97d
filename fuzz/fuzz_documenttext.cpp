// A whole answer as the page loader shapes it: the first byte picks the content type.
#include "documenttext.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const char *const types[] = {"text/html",
                                        "text/plain",
                                        "text/html; charset=windows-1252",
                                        "",
                                        "text/plain; charset=utf-16",
                                        "text/html; charset=\"x"};
    const QByteArray contentType(types[data[0] % 6]);
    const QByteArray body(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const QString text = zonara::documentText(body, contentType).value_or(QString());
    // Every line end is CR LF.
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n' && (i == 0 || text[i - 1] != u'\r'))
            __builtin_trap();
    }
    return 0;
}
