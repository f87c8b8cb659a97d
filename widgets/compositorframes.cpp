#include "compositorframes.h"

#include "waylandwindows.h"

#include <cstring>

#include <wayland-client.h>

namespace zonara {

namespace {

void announced(void *offered, wl_registry *, uint32_t, const char *interface, uint32_t)
{
    if (std::strcmp(interface, "zxdg_decoration_manager_v1") == 0)
        *static_cast<bool *>(offered) = true;
}

void withdrawn(void *, wl_registry *, uint32_t)
{}

bool offersDecorations()
{
    wl_display *display = wl_display_connect(nullptr);
    if (!display)
        return false;
    bool offered = false;
    static const wl_registry_listener listener = {&announced, &withdrawn};
    wl_registry *registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &listener, &offered);
    // One round trip brings every global the compositor offers.
    wl_display_roundtrip(display);
    wl_registry_destroy(registry);
    wl_display_disconnect(display);
    return offered;
}

} // namespace

bool compositorDrawsFrames()
{
    static const bool draws = onWayland() && offersDecorations();
    return draws;
}

} // namespace zonara
