#include "monitor/pedalangles.h"

#include <algorithm>

namespace PedalAngles {

std::optional<float> expression(int a, int b, int value)
{
    if (a == b)
        return std::nullopt;
    const int lo = std::min(a, b);
    const int hi = std::max(a, b);
    const float t = float(value - lo) / float(hi - lo);
    return std::clamp((1.0f - t) * 15.0f, 0.0f, 15.0f);
}

std::optional<float> hiHat(int a, int b, int value)
{
    if (a == b)
        return std::nullopt;
    if (value == 0)
        return hiHatRest;
    const int lo = std::min(a, b);
    const int hi = std::max(a, b);
    const float t = float(hi - value) / float(hi - lo);
    return 5.0f * t - 5.0f;
}

double switchResetTarget(int a, int b, int value)
{
    if (a < 0)
        return switchPressed;
    if (value == a)
        return a <= b ? switchRest : switchPressed;
    if (value == b)
        return a > b ? switchRest : switchPressed;
    if (a == b)
        return switchRest;
    return double(value - a) / double(b - a) * switchPressed;
}

} // namespace PedalAngles
