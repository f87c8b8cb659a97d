#include "desktopplatform.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QNetworkInterface>
#include <QUrl>

namespace zonara {

void DesktopPlatform::shellOpen(const QString &target)
{
    QDesktopServices::openUrl(QUrl(target, QUrl::TolerantMode));
}

bool DesktopPlatform::askYesNo(const QString &title, const QString &text)
{
    // No owner window: the question stands on its own, modal to the whole program.
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(QMessageBox::Yes);
    box.setEscapeButton(static_cast<QAbstractButton *>(nullptr));
    return box.exec() == QMessageBox::Yes;
}

QString DesktopPlatform::localIpAddress()
{
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &interface : interfaces) {
        const auto flags = interface.flags();
        if (!flags.testFlag(QNetworkInterface::IsUp) ||
            flags.testFlag(QNetworkInterface::IsLoopBack))
            continue;
        for (const QNetworkAddressEntry &entry : interface.addressEntries()) {
            if (entry.ip().protocol() == QAbstractSocket::IPv4Protocol)
                return entry.ip().toString();
        }
    }
    return QStringLiteral("127.0.0.1");
}

} // namespace zonara
