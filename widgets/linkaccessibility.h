#pragma once

namespace zonara {

// Screen readers announce a label whose "accessibleLink" property is true as a link, named by its
// caption, and can activate it as a click would. Qt reports every label as static text; this adds
// the program's own accessible interface for its link labels. Safe to call more than once.
void installLinkAccessibility();

} // namespace zonara
