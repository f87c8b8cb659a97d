#pragma once

#include "hostrecords.h"
#include "loadoutcome.h"

#include <QString>

namespace zonara {

// What the host list says while the hosts are being retrieved.
QString retrievingNotice();

// What the host list says of a listing of `kind` that is no listing, in a user's words:
// `outcome` tells what became of its load, `pageTitle` is the title of the page that came.
QString listingFailureNotice(HostKind kind, const LoadOutcome &outcome, const QString &pageTitle);

} // namespace zonara
