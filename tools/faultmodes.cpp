#include "faultmodes.h"

namespace zonara::simulator {

std::optional<Fault> faultNamed(const QString &name)
{
    for (const FaultMode &mode : FaultModes) {
        if (name == QLatin1StringView(mode.name))
            return mode.fault;
    }
    return std::nullopt;
}

} // namespace zonara::simulator
