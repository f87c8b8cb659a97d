// The HTML text form: any bytes a server sends, read with limits small enough that the parse
// escapes on memory, on time and on cancel (the input's length picks which).
#include "htmlserializer.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    zonara::ParseLimits limits;
    limits.memory = std::size_t(1 + size % 3) << 20;
    limits.time = std::chrono::milliseconds(size % 5 == 0 ? 0 : 500);
    if (size % 7 == 0)
        limits.cancelled = std::make_shared<const std::atomic<bool>>(true);
    const std::string text =
        zonara::serializeHtml(std::string_view(reinterpret_cast<const char *>(data), size), limits)
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
