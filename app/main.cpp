// Zonara Manager: manages the hosts of an account at the Zonara dynamic-DNS service.

#include "alttyping.h"
#include "application.h"
#include "buildconfig.h"
#include "desktopplatform.h"
#include "form1.h"
#include "linkaccessibility.h"
#include "memorypolicy.h"
#include "swayfocus.h"
#include "waylandwindows.h"
#include "windowaccessibility.h"
#include "windowstyle.h"

#include <QNetworkProxyFactory>

#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

int run(int argc, char *argv[])
{
    zonara::Application app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zonara Manager"));
    QApplication::setDesktopFileName(QStringLiteral("example.zmsoft.ZonaraManager"));
    // Like any desktop program, go through the proxy the desktop is set up with.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    zonara::useLayoutLook();
    zonara::installLinkAccessibility();
    zonara::installWindowAccessibility();
    zonara::installAltTypingFilter();
    zonara::keepKeyboardWithModalWindowOnSway();

    zonara::DesktopPlatform platform;
    zonara::Form1 mainWindow(zonara::build::siteConfig(), platform);
    mainWindow.show();
    const int status = QApplication::exec();
    // Qt 6.4 can hang in the teardown of its Wayland connection (~QWaylandDisplay waiting for its
    // event thread), leaving a closed program running: there it ends here, with nothing to keep.
    if (zonara::onWayland()) {
        std::fflush(nullptr);
        std::_Exit(status);
    }
    return status;
}

} // namespace

int main(int argc, char *argv[])
{
    zonara::applyProcessMemoryPolicy();
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc &) {
        // Too little memory to start or to end: said, with a status of its own, never a crash.
        std::fputs("zonara-manager: not enough memory to run\n", stderr);
        return 3;
    }
}
