#pragma once

#include <QString>
#include <QStringList>

namespace zonara {

// The addresses and names the program is built with. Production takes them from the build;
// tests point the member host and the announcement at a simulator on loopback.
struct SiteConfig
{
    QString memberHost;
    QString publisherName;
    QString homePage;
    QString contactAddress;
    QString feedbackAddress;
    QString announcementAddress;
    QStringList domainSuffixes;
};

} // namespace zonara
