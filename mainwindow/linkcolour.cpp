#include "linkcolour.h"

#include <algorithm>
#include <cmath>

namespace zonara {

namespace {

constexpr QColor Resting(0x00, 0x00, 0x80);
constexpr QColor Highlighted(0x00, 0x00, 0xFF);
constexpr double ReadableContrast = 4.5;

double channelLuminance(int value)
{
    const double c = value / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double luminance(const QColor &colour)
{
    const QColor rgb = colour.toRgb();
    return 0.2126 * channelLuminance(rgb.red()) + 0.7152 * channelLuminance(rgb.green()) +
           0.0722 * channelLuminance(rgb.blue());
}

QColor mixed(const QColor &from, const QColor &to, int step)
{
    const auto channel = [step](int a, int b) {
        return a + (b - a) * step / 255;
    };
    return QColor(channel(from.red(), to.red()), channel(from.green(), to.green()),
                  channel(from.blue(), to.blue()));
}

// The first colour from `base` toward `target` that reads on `background`, starting at `step`.
int readableStep(const QColor &base, const QColor &target, const QColor &background, int step)
{
    while (step < 255 && contrastRatio(mixed(base, target, step), background) < ReadableContrast)
        ++step;
    return step;
}

} // namespace

double contrastRatio(const QColor &first, const QColor &second)
{
    const double a = luminance(first) + 0.05;
    const double b = luminance(second) + 0.05;
    return std::max(a, b) / std::min(a, b);
}

QColor linkColour(const QColor &background, bool highlighted)
{
    if (contrastRatio(Resting, background) >= ReadableContrast &&
        contrastRatio(Highlighted, background) >= ReadableContrast)
        return highlighted ? Highlighted : Resting;
    const QColor target =
        contrastRatio(Qt::white, background) >= contrastRatio(Qt::black, background)
            ? QColor(Qt::white)
            : QColor(Qt::black);
    const int restingStep = readableStep(Resting, target, background, 0);
    if (!highlighted)
        return mixed(Resting, target, restingStep);
    // Blue mixed as far as navy lands on the same colour only at the target itself: then the
    // highlight stops one step short of it, or navy's own colour would repeat.
    int step = readableStep(Highlighted, target, background, restingStep);
    if (mixed(Highlighted, target, step) == mixed(Resting, target, restingStep))
        step = std::max(0, step - 1);
    return mixed(Highlighted, target, step);
}

} // namespace zonara
