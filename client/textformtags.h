#pragma once

// The tag tables of the text-form writer (textformwriter.cpp): which elements it writes in a
// way of their own. Internal to the writer.

#include <gumbo.h>

namespace zonara::textform {

// Elements that have no end tag and no content.
bool isVoid(GumboTag tag);

// Elements whose text is not markup: written back as it stands.
bool isRawText(GumboTag tag);

// Table structure, between whose tags white space carries no content.
bool isTableStructure(GumboTag tag);

// Tags of a table's frame and cells, next to which a blank inside a row carries no content.
bool dropsBlanksAround(GumboTag tag);

// The document's frame tags stand on lines of their own.
bool standsOnOwnLine(GumboTag tag);

} // namespace zonara::textform
