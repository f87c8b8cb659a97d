#pragma once

#include "siteconfig.h"

// The program's addresses and names as the tests and benchmarks use them: the member host and
// the announcement at a simulator on loopback (or at a closed port).
inline zonara::SiteConfig testSite(const QString &memberHost, const QString &announcementAddress)
{
    return {memberHost,
            QStringLiteral("ZM Software"),
            QStringLiteral("http://www.zmsoft.example/"),
            QStringLiteral("info@zmsoft.example"),
            QStringLiteral("feedback@zmsoft.example"),
            announcementAddress,
            {QStringLiteral(".zonara.example"), QStringLiteral(".zhome.example"),
             QStringLiteral(".zlan.example"), QStringLiteral(".zweb.example")}};
}
