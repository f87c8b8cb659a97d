#pragma once

#include <QString>

namespace zonara {

// The user name and password exactly as they stand in the main window when a request is built.
struct Credentials
{
    QString userName;
    QString password;
};

// Index of a type selector ("Dynamic DNS", "Static DNS"): it chooses the service path of a
// change request. Any other index, such as no selection, adds neither "@", the member host nor a
// path: the query follows the password directly.
inline constexpr int DynamicTypeIndex = 0;
inline constexpr int StaticTypeIndex = 1;

// Builds the six request addresses of the member service:
// "http://" user ":" password "@" member host, a service path and, for changes, a query of
// ";"-separated keys. The user name and password are percent-encoded as URI user info and every
// query value as a query component, leaving letters, digits and "-._~" as they are: an ordinary
// request reads character for character as the member service expects, while a password holding
// "@" or a host name holding ";" can neither reach another host nor add keys to the query.
class MemberRequests final
{
public:
    MemberRequests(QString memberHost, Credentials credentials);

    QString dynamicListing() const;
    QString staticListing() const;
    QString addHost(int typeIndex, const QString &hostName, const QString &domainSuffix,
                    const QString &ipAddress, bool wildcard) const;
    QString editHost(int typeIndex, const QString &hostId, const QString &ipAddress,
                     bool wildcard) const;
    QString deleteHost(int typeIndex, const QString &hostId) const;
    QString convertHost(const QString &hostId) const;

private:
    // "http://" user ":" password
    QString credentials() const;
    // credentials() "@" member host
    QString origin() const;
    // Where a change request's query goes, by the type selector's index.
    QString changeTarget(int typeIndex) const;

    QString m_memberHost;
    Credentials m_credentials;
};

} // namespace zonara
