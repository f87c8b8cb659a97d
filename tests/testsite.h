#pragma once

#include "siteconfig.h"

// The site of the tests and benchmarks: member host and announcement at a loopback simulator.
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
