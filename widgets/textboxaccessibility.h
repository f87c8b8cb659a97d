#pragma once

class QAccessibleInterface;
class QObject;
class QString;

namespace zonara {

// A factory for QAccessible::installFactory (installWindowAccessibility installs it): a plain text
// box as screen readers reach it, with its text, caret and selection, and with the shown ones of
// its parts only. Qt's own interface for it lists the holder of its horizontal scroll bar too,
// which stays hidden while the text is wrapped at the box's width.
QAccessibleInterface *textBoxFactory(const QString &className, QObject *object);

} // namespace zonara
