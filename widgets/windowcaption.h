#pragma once

#include <QString>

class QWidget;

namespace zonara {

// Shows `caption` as a shown window's caption exactly as written, as far as the window system
// is concerned: a "[*]" in it stays (Qt would take it for the modified-document marker), and an
// empty caption stays empty (on X11 Qt would put the program's name there). A caption longer
// than the display bound is cut.
void showExactCaption(QWidget &window, QStringView caption);

} // namespace zonara
