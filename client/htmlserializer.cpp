#include "htmlserializer.h"

#include "textformwriter.h"

#include <algorithm>

namespace zonara {

std::optional<std::string> serializeHtml(std::string_view html, const ParseLimits &limits)
{
    ParseArena arena(limits);
    const GumboInternalNode *document = arena.parse(html);
    if (!document)
        return std::nullopt;
    // The text shares the memory with the tree it is written from: what the tree left, and at
    // most a third, so that the caller's UTF-16 copy of it still fits.
    const std::size_t left =
        limits.memory > arena.allocated() ? limits.memory - arena.allocated() : 0;
    return writeTextForm(document, html.size(), std::min(left, limits.memory / 3));
}

} // namespace zonara
