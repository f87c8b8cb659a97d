// Zonara Manager: manages the hosts of an account at the Zonara dynamic-DNS service.

#include "alttyping.h"
#include "buildconfig.h"
#include "desktopplatform.h"
#include "form1.h"
#include "linkaccessibility.h"
#include "memorypolicy.h"
#include "swayfocus.h"
#include "waylandwindows.h"
#include "windowaccessibility.h"
#include "windowstyle.h"

#include <QApplication>
#include <QNetworkProxyFactory>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    zonara::applyProcessMemoryPolicy();
    QApplication app(argc, argv);
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
