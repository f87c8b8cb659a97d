#pragma once

namespace zonara {

// Whether the Wayland compositor draws the windows' frames itself: it offers the xdg-decoration
// protocol (KWin, sway and the other wlroots compositors do; weston and GNOME's mutter do not).
// Qt then asks it for its frames, and the windows paint no title bar of their own. Asked once, on
// a connection of its own to the compositor; false off Wayland.
bool compositorDrawsFrames();

} // namespace zonara
