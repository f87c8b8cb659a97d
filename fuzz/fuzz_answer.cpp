// The report window's answer extraction.
#include "answer.h"

#include <QString>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString document =
        QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const zonara::Answer answer = zonara::extractAnswer(document);
    if (answer.caption.size() > document.size() || answer.text.size() > document.size())
        __builtin_trap();
    return 0;
}
