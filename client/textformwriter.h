#pragma once

#include <cstddef>
#include <optional>
#include <string>

// gumbo's node type (GumboNode), named here so that gumbo stays private to this library.
struct GumboInternalNode;

namespace zonara {

// Writes a parsed document in the text form that serializeHtml() describes. `expectedSize` (the
// page's size) sizes the text up front; nothing when the text grows past about `limit` bytes.
std::optional<std::string> writeTextForm(const GumboInternalNode *document,
                                         std::size_t expectedSize, std::size_t limit);

} // namespace zonara
