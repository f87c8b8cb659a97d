#pragma once

#include <QString>
#include <QUrl>

namespace zonara {

// Whether a load that presents credentials follows a redirect from `from` to `to`: on the same
// host, keeping scheme and port, or moving from http to https.
bool followsWithCredentials(const QUrl &from, const QUrl &to);

// `address` as given, without the password between the first ":" after "//" and the last "@".
QString withoutPassword(const QString &address);

} // namespace zonara
