#pragma once

class QWidget;

namespace zonara {

// Where the program runs on Wayland, the windows draw their own title bar (windowtitlebar.h),
// the compositor may still maximize a window (by a shortcut), and a window has no place of its own
// in the stacking order unless it is given a transient parent. Everything here does nothing on
// other window systems.
bool onWayland();

// On Wayland where the compositor draws no frames (weston, GNOME's mutter): the windows draw
// their own title bar.
bool drawsOwnTitleBar();

// Fixes `window` at its present size. Where it draws its own title bar only its smallest size is
// fixed: a maximized
// window must take the larger size the compositor demands, and a window that keeps a fixed size
// then breaks the protocol, which ends the program. Instead, a maximized window there is put back
// to its size at once, so that maximize does nothing, as on X. Call it again where Qt fixes the
// size itself (a message box, as it is shown).
void fixWindowSize(QWidget &window);

// On Wayland, keeps the dialog or question `window` in front of the window that opens it (the
// modal or active window when it is made, else the main window), since the compositor stacks
// windows only by their transient parents. Call it before the window is shown.
void keepInFrontOfOpener(QWidget &window);

} // namespace zonara
