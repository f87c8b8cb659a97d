#pragma once

#include "simulatedaccount.h"

#include <QString>

#include <string>

namespace zonara::simulator {

// Pages go out uncompressed, as the member service sends them. cpp-httplib compresses every
// "text/..." answer for a client that accepts it, with brotli at its slowest setting when the
// client offers "br", as Qt does; the media type's letter case (which HTTP ignores) keeps it
// from matching.
inline constexpr auto HtmlType = "Text/html; charset=utf-8";

// The member service's page for an answer to a change, or for a page it does not have.
std::string answerPage(const SimulatedAnswer &answer);
// What the service sends with a 401.
std::string refusalPage();
// The listing page of `kind`: the hosts of that kind among `hosts`, in the provider's markup.
std::string listingPage(SimulatedKind kind, const QList<SimulatedHost> &hosts);
// What the publisher sends while there is no announcement.
std::string missingAnnouncementPage();

} // namespace zonara::simulator
