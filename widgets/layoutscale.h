#pragma once

#include <QFont>

namespace zonara {

// Whether `systemFont`, the font the platform theme gives for windows and dialogs, was chosen on
// the desktop (by a theme such as KDE's or qt6ct, or the desktop's settings). Where nothing
// names one, Qt's own Unix themes give "Sans Serif" at 9 points, and so does the bare font
// database.
bool desktopChoseFont(const QFont &systemFont);

// How much larger than designed every window must be for texts drawn in `shown` to fit where
// they fit in `design`: the largest of the ratios of the two fonts' line heights and of their
// widths for lower-case letters, capitals, and digits with punctuation. Never below 1: a smaller
// font keeps the designed geometry.
double layoutScale(const QFont &design, const QFont &shown);

} // namespace zonara
