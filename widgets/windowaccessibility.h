#pragma once

namespace zonara {

// Screen readers meet every window of the program, the Yes/No questions included, as a frame
// (the main window) or a dialog, named by its caption, and see only the controls that are shown:
// the hidden host id list and a hidden update link are no part of what they read. Qt would
// report a plain top-level widget as a filler and a question as an alert, and list hidden
// controls as children. Safe to call more than once.
void installWindowAccessibility();

} // namespace zonara
