#pragma once

#include <QList>

class QAccessibleInterface;
class QWidget;

namespace zonara {

// Screen readers meet every window of the program, the Yes/No questions included, as a frame
// (the main window) or a dialog, named by its caption, and see only the controls that are shown:
// the hidden host id list, a hidden update link and the report's hidden holder of a horizontal
// scroll bar are no part of what they read. Qt would report a plain top-level widget as a filler
// and a question as an alert, and list hidden controls as children. Safe to call more than once.
void installWindowAccessibility();

// The child widgets of `widget` a screen reader reaches: its own controls in reading order, top
// to bottom and then left to right (the forms create them in reverse), less the hidden ones and
// the window's own title bar, which the window system's would not show either; and the interface
// of the one at `index`, the index of `child` among them (-1 if it is none of them).
QList<QWidget *> shownChildWidgets(const QWidget &widget);
QAccessibleInterface *shownChild(const QWidget &widget, int index);
int indexOfShownChild(const QWidget &widget, const QAccessibleInterface *child);

} // namespace zonara
