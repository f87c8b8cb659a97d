#pragma once

#include "parsearena.h"

#include <optional>
#include <string>
#include <string_view>

namespace zonara {

// Parses an HTML document (UTF-8) and writes it back in the text form the program reads:
// - tag and attribute names in upper case, attributes in source order separated by one blank,
//   except that an INPUT's TYPE, NAME and VALUE come first, in that order; a value that is a
//   signed whole number ("-1", "+2") is written bare, every other value in double quotes; an
//   attribute without a value is its name alone;
// - "&", "<", ">" in text and "&", '"' in values escaped again;
// - every table row, at any depth of nested tables, starts at a line start, and the line after
//   its end tag starts afresh; a row stands whole on one line ended by CR LF unless it holds a
//   nested table, whose rows take lines of their own; inside rows, runs of white space fold to
//   one blank, and a blank next to a table or cell tag (TABLE, TR, TD, TH...) is dropped, while
//   one between words and inline tags ("<B>bold</B> text") stays;
// - elsewhere text keeps its own line structure, every line end written as CR LF, and the
//   document's html, head and body tags stand on lines of their own, so a page of key=value lines
//   keeps each key at a line start.
//
// Nothing when the read runs past its limits (ParseLimits).
std::optional<std::string> serializeHtml(std::string_view html, const ParseLimits &limits = {});

} // namespace zonara
