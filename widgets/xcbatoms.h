#pragma once

#include <QtGui/qtguiglobal.h>

#if QT_CONFIG(xcb)
#include <xcb/xcb.h>

namespace zonara {

// The X server's atom for `name`, interned if the server has none yet; XCB_ATOM_NONE where the
// server does not answer.
xcb_atom_t xcbAtom(xcb_connection_t *connection, const char *name);

} // namespace zonara
#endif
