// The HTML text form: any bytes a server sends.
#include "htmlserializer.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::string text =
        zonara::serializeHtml(std::string_view(reinterpret_cast<const char *>(data), size))
            .value_or(std::string());
    // Every line ends in CR LF, and nothing else holds a CR or an LF.
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool lineFeedAfterReturn = text[i] == '\n' && i > 0 && text[i - 1] == '\r';
        const bool returnBeforeLineFeed =
            text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        if ((text[i] == '\n' && !lineFeedAfterReturn) || (text[i] == '\r' && !returnBeforeLineFeed))
            __builtin_trap();
    }
    return 0;
}
