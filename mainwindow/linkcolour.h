#pragma once

#include <QColor>

namespace zonara {

// The colour of a link label on `background`. On a light background the links are navy at rest
// and blue while highlighted. Where that would be hard to read (contrast below 4.5:1 by relative
// luminance), each colour is mixed toward white or black, whichever stands out more, just far
// enough to reach 4.5:1; resting and highlighted stay apart.
QColor linkColour(const QColor &background, bool highlighted);

// The contrast ratio of two colours, from 1 (same luminance) to 21 (black on white).
double contrastRatio(const QColor &first, const QColor &second);

} // namespace zonara
