// The numeric value of a text.
#include "textvalue.h"

#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const double value = zonara::numericValue(text);
    if (std::isnan(value))
        __builtin_trap();
    const int id = zonara::wholeNumberIn(value, 0, 99999);
    if (id < -1 || id > 99999)
        __builtin_trap();
    return 0;
}
