#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace zonara {

// Parses an HTML document (UTF-8) and writes it back in the text form the program reads:
// - tag and attribute names in upper case, attributes in source order separated by one blank;
//   a value that is a signed whole number ("-1", "+2") is written bare, every other value in
//   double quotes; an attribute without a value is its name alone;
// - "&", "<", ">" in text and "&", '"' in values escaped again;
// - every table row starts at a line start and stands whole on one line ended by CR LF, with
//   runs of white space inside it folded to one blank and blanks next to a tag dropped;
// - elsewhere text keeps its own line structure, every line end written as CR LF, and the
//   document's html, head and body tags stand on lines of their own, so a page of key=value lines
//   keeps each key at a line start.
//
// A hostile page can make the HTML parser work for minutes (a million nested elements) or
// allocate without end; the limits bound both. Past either, or once `cancelled` is set (by the
// loader that abandoned the page, from another thread), nothing is returned.
struct ParseLimits
{
    std::chrono::milliseconds time{30'000};
    std::size_t memory = std::size_t(1) << 30;
    std::shared_ptr<const std::atomic<bool>> cancelled;
};

std::optional<std::string> serializeHtml(std::string_view html, const ParseLimits &limits = {});

} // namespace zonara
