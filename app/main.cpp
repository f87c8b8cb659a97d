// Zonara Manager: manages the hosts of an account at the Zonara dynamic-DNS service.

#include "buildconfig.h"
#include "desktopplatform.h"
#include "form1.h"
#include "linkaccessibility.h"
#include "windowstyle.h"

#include <QApplication>
#include <QNetworkProxyFactory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zonara Manager"));
    QApplication::setDesktopFileName(QStringLiteral("example.zmsoft.ZonaraManager"));
    // Like any desktop program, go through the proxy the desktop is set up with.
    QNetworkProxyFactory::setUseSystemConfiguration(true);
    zonara::useLayoutLook();
    zonara::installLinkAccessibility();

    zonara::DesktopPlatform platform;
    zonara::Form1 mainWindow(zonara::build::siteConfig(), platform);
    mainWindow.show();
    return QApplication::exec();
}
