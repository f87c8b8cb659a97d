#pragma once

#include <QString>

#include <array>
#include <optional>

namespace zonara::simulator {

// How the simulator misbehaves on member pages, for failure tests; FaultModes describes each.
enum class Fault {
    None,
    Hang,
    CloseMidAnswer,
    EmptyServerError,
    Oversized,
    RedirectLoop,
    Trickle,
    DeepNesting,
    HugePage,
    HeadersThenNothing,
    SlowButSteady,
    GzipBomb,
    Redirect,
    SessionCookie,
};

struct FaultMode
{
    Fault fault;
    const char *name;        // as --fault takes it; scripts and tests spell it so
    const char *description; // one line of --help
};

// Every fault mode, in the enum's order, which --help keeps.
inline constexpr std::array FaultModes = {
    FaultMode{Fault::None, "none", "answers as the service does"},
    FaultMode{Fault::Hang, "hang", "never answers"},
    FaultMode{Fault::CloseMidAnswer, "close", "announces a page, sends part, then closes"},
    FaultMode{Fault::EmptyServerError, "empty-500", "500 with an empty body"},
    FaultMode{Fault::Oversized, "oversized", "a page past the program's size cap"},
    FaultMode{Fault::RedirectLoop, "redirect-loop", "redirects to itself forever"},
    FaultMode{Fault::Trickle, "trickle", "gzip bytes forever that decode to nothing"},
    FaultMode{Fault::DeepNesting, "deep", "a page of a million nested elements"},
    FaultMode{Fault::HugePage, "huge", "15 MiB of table rows that are no host rows"},
    FaultMode{Fault::HeadersThenNothing, "headers-only", "a page's headers, then nothing"},
    FaultMode{Fault::SlowButSteady, "slow", "the page in small pieces, 300 ms apart"},
    FaultMode{Fault::GzipBomb, "gzip-bomb", "gzip that inflates past the size cap"},
    FaultMode{Fault::Redirect, "redirect", "sends pages on to --redirect-to/moved"},
    FaultMode{Fault::SessionCookie, "session-cookie", "its cookie replaces the password"},
};

// The table follows the enum, entry for entry, up to its last value; a fault added to the enum
// becomes the last value here.
static_assert([] {
    for (std::size_t i = 0; i < FaultModes.size(); ++i) {
        if (FaultModes[i].fault != Fault(i))
            return false;
    }
    return FaultModes.back().fault == Fault::SessionCookie;
}());

// The fault `name` picks on the command line; none for a name not in FaultModes.
std::optional<Fault> faultNamed(const QString &name);

} // namespace zonara::simulator
