// Zonara Manager: manages the hosts of an account at the Zonara dynamic-DNS service.

#include "alttyping.h"
#include "buildconfig.h"
#include "desktopplatform.h"
#include "form1.h"
#include "linkaccessibility.h"
#include "windowaccessibility.h"
#include "windowstyle.h"

#include <QApplication>
#include <QNetworkProxyFactory>

#include <malloc.h>

int main(int argc, char *argv[])
{
    // Pages and their texts go back to the system as soon as they are freed. Left to itself,
    // malloc raises this threshold to the size of the first such block freed, after which the
    // next pages land in the heaps, where what is freed stays resident.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zonara Manager"));
    QApplication::setDesktopFileName(QStringLiteral("example.zmsoft.ZonaraManager"));
    // Like any desktop program, go through the proxy the desktop is set up with.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    zonara::useLayoutLook();
    zonara::installLinkAccessibility();
    zonara::installWindowAccessibility();
    zonara::installAltTypingFilter();

    zonara::DesktopPlatform platform;
    zonara::Form1 mainWindow(zonara::build::siteConfig(), platform);
    mainWindow.show();
    return QApplication::exec();
}
