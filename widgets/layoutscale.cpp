#include "layoutscale.h"

#include <QFontMetricsF>

#include <algorithm>

namespace zonara {

bool desktopChoseFont(const QFont &systemFont)
{
    return systemFont.family() != QLatin1StringView("Sans Serif") || systemFont.pointSizeF() != 9.0;
}

double layoutScale(const QFont &design, const QFont &shown)
{
    const QFontMetricsF designed(design);
    const QFontMetricsF drawn(shown);
    double scale = std::max(1.0, drawn.height() / designed.height());
    for (const QString &sample :
         {QStringLiteral("abcdefghijklmnopqrstuvwxyz"),
          QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ"), QStringLiteral("0123456789.:@/-_")})
        scale =
            std::max(scale, drawn.horizontalAdvance(sample) / designed.horizontalAdvance(sample));
    return scale;
}

} // namespace zonara
