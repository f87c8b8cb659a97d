// Zonara Manager: manages the hosts of an account at the Zonara dynamic-DNS service.

#include "alttyping.h"
#include "buildconfig.h"
#include "desktopplatform.h"
#include "form1.h"
#include "linkaccessibility.h"
#include "memorypolicy.h"
#include "windowaccessibility.h"
#include "windowstyle.h"

#include <QApplication>
#include <QNetworkProxyFactory>

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

    zonara::DesktopPlatform platform;
    zonara::Form1 mainWindow(zonara::build::siteConfig(), platform);
    mainWindow.show();
    return QApplication::exec();
}
