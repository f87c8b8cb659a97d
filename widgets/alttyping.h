#pragma once

#include <QString>
#include <Qt>

namespace zonara {

// True for a key that plain Alt (no Ctrl, no AltGr) turns into text. Such a key is an access key or
// nothing; it never types into a text box. AltGr arrives as GroupSwitch or as Ctrl+Alt on some
// layouts, and its characters still type.
bool isAltTyping(Qt::KeyboardModifiers modifiers, const QString &text);

// Keeps Alt+letter out of every text box of the program: an application-wide event filter that
// drops such key presses sent to a line edit. Safe to call more than once; needs a QApplication.
void installAltTypingFilter();

} // namespace zonara
