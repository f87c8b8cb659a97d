#pragma once

namespace zonara {

// On sway, a click on a window that a dialog or question blocks gives that window the keyboard,
// where Qt drops every key: typing and Alt+letters reach nothing until the user clicks the dialog
// again. While a modal window is open, the program asks sway, over its IPC socket (SWAYSOCK), to
// give the keyboard back to it, as other compositors keep it there. Does nothing elsewhere.
void keepKeyboardWithModalWindowOnSway();

} // namespace zonara
