#include "requests.h"

#include <QUrl>

namespace zonara {

namespace {

constexpr auto DynamicPath = QLatin1StringView("/nic/zonara");
constexpr auto StaticPath = QLatin1StringView("/nic/statdns");

QString encoded(const QString &value)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(value));
}

} // namespace

MemberRequests::MemberRequests(QString memberHost, Credentials credentials)
    : m_memberHost(std::move(memberHost))
    , m_credentials(std::move(credentials))
{}

QString MemberRequests::credentials() const
{
    return QLatin1StringView("http://") + encoded(m_credentials.userName) + u':' +
           encoded(m_credentials.password);
}

QString MemberRequests::origin() const
{
    return credentials() + u'@' + m_memberHost;
}

QString MemberRequests::changeTarget(int typeIndex) const
{
    switch (typeIndex) {
    case DynamicTypeIndex:
        return origin() + DynamicPath + u'?';
    case StaticTypeIndex:
        return origin() + StaticPath + u'?';
    default:
        // Without a type there is neither member host nor path: the query follows the password.
        return credentials();
    }
}

QString MemberRequests::dynamicListing() const
{
    return origin() + DynamicPath;
}

QString MemberRequests::staticListing() const
{
    return origin() + StaticPath;
}

QString MemberRequests::addHost(int typeIndex, const QString &hostName, const QString &domainSuffix,
                                const QString &ipAddress, bool wildcard) const
{
    // The domain list shows each suffix with its leading dot; the service wants the domain alone.
    const QString domain = domainSuffix.mid(1);
    QString address = changeTarget(typeIndex) + QLatin1StringView("started=1;action=add") +
                      QLatin1StringView(";host=") + encoded(hostName) +
                      QLatin1StringView(";domain=") + encoded(domain) +
                      QLatin1StringView(";myip=") + encoded(ipAddress);
    if (wildcard)
        address += QLatin1StringView(";wildcard=on");
    return address + QLatin1StringView(";backmx=yes");
}

QString MemberRequests::editHost(int typeIndex, const QString &hostId, const QString &ipAddress,
                                 bool wildcard) const
{
    QString address = changeTarget(typeIndex) + QLatin1StringView("started=1;action=edit") +
                      QLatin1StringView(";host_id=") + encoded(hostId) +
                      QLatin1StringView(";myip=") + encoded(ipAddress);
    if (wildcard)
        address += QLatin1StringView(";wildcard=on");
    return address + QLatin1StringView(";backmx=yes");
}

QString MemberRequests::deleteHost(int typeIndex, const QString &hostId) const
{
    return changeTarget(typeIndex) + QLatin1StringView("host_id=") + encoded(hostId) +
           QLatin1StringView(";action=Delete");
}

QString MemberRequests::convertHost(const QString &hostId) const
{
    return origin() + StaticPath + QLatin1StringView("?started=1;action=convert;host_id=") +
           encoded(hostId);
}

} // namespace zonara
