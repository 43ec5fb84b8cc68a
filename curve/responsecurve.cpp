#include "curve/responsecurve.h"

#include <algorithm>
#include <cmath>

namespace ResponseCurve {

namespace {

/// Resolution of the controller's position reading: 12 bits.
constexpr int PositionSteps = 4095;
/// Gain scale of the adjusted range; the full 12 bits for 14-bit ranges.
constexpr int GainScale7Bit = 4054;

/// Truncates towards zero like a C cast, without undefined behaviour for
/// values no selector can hold.
int truncate(double v)
{
    if (!(v == v))
        return 0;
    return int(std::clamp(v, -1.0e6, 1.0e6));
}

double clamp127(double v) { return std::clamp(v, 0.0, 127.0); }

} // namespace

void compute(const Input &in, Curve *out)
{
    Curve &c = *out;
    double min = in.minValue;
    double max = in.maxValue;
    const double originalMax = max;
    if (in.pitchMode) {
        min /= PitchScale;
        max /= PitchScale;
    }
    c.curvature = truncate(in.curvature);

    float g = float(in.gain);
    g = g > 0 ? g / 50.0f : g / 100.0f;
    g += 1.0f;
    c.gainFactor = g;

    // Where the plain linear value, scaled by the gain, first reaches the
    // maximum; for an inverted range also where it falls to the minimum.
    c.t1 = 1;
    c.t2 = 1;
    bool t1Found = false;
    bool t2Found = false;
    for (int i = 0; i < SampleCount && !(t1Found && t2Found); ++i) {
        const double t = double(i) / (SampleCount - 1);
        const double v = ((max - min) * t + min) * g;
        if (!t1Found && ((max > min && v >= max) || (max < min && v <= max))) {
            c.t1 = t;
            t1Found = true;
        }
        if (!t2Found && min > max && min >= v) {
            c.t2 = t;
            t2Found = true;
        }
    }
    c.curveCode = truncate(c.t1 * 100);

    if (max > 127)
        max /= PitchScale;
    c.minValue = min;
    c.maxValue = max;

    // The range the curve spans: a gain below 0 lowers its top; a gain above
    // 0 keeps the top and reaches it earlier (at t1).
    const int scale = originalMax > 127 ? PositionSteps : GainScale7Bit;
    const int s = std::clamp(truncate(g * float(scale)), 0, scale);
    const int lo = truncate(min);
    const int hi = truncate(max);
    const int span = hi - lo + 1;
    // A span of zero (the maximum one below the minimum) or one wider than
    // the position resolution has no step: the curve lies flat at the minimum.
    const bool flat = hi != lo && (span == 0 || scale / span == 0 || PositionSteps / span == 0);
    if (hi == lo) {
        c.adjMax = c.adjMin = hi;
    } else if (flat) {
        c.adjMax = c.adjMin = lo;
    } else {
        const int a = lo + s / (scale / span);
        c.adjMax = a > hi ? hi : std::max(a, lo);
        c.adjMin = std::min(lo, hi);
    }
    c.adjMin = clamp127(c.adjMin);
    c.adjMax = clamp127(c.adjMax);

    c.keys.resize(SampleCount);
    c.values.resize(SampleCount);
    const int k = std::abs(c.curvature);
    const double range = c.adjMax - c.adjMin;
    for (int i = 0; i < SampleCount; ++i) {
        const double x = double(i) / (SampleCount - 1);
        // The controller's stepped linear output for this position.
        const int si = std::clamp(truncate(float(x) * float(PositionSteps) * g), 0, PositionSteps);
        int yl;
        if (hi == lo || flat) {
            yl = flat ? lo : hi;
        } else {
            yl = lo + si / (PositionSteps / span);
            yl = std::max(std::min(yl, hi), lo);
        }

        double value;
        if (c.curvature == 0) {
            value = std::max(std::min(double(yl), max), min);
        } else if (max > min) {
            if (x > c.t1) {
                value = c.adjMax;
            } else {
                // t1 is 0 only when the curve starts saturated.
                const double u = c.t1 > 0 ? x / c.t1 : 1.0;
                const double w = 1 - u;
                if (c.curvature > 0) {
                    const double e = 0.15 * k * w * w + (1.2 + 0.05 * k) - 0.04 * k * std::pow(u, 1.5);
                    value = c.adjMin + (1 - std::pow(w, e)) * range;
                } else {
                    const double e = 0.2 * k * u * u * w + (1 + 0.04 * k);
                    value = c.adjMin + std::pow(u, e) * range;
                }
                value = std::min(value, c.adjMax);
            }
        } else {
            value = x >= c.t2 ? std::max(c.adjMax, double(yl)) : c.adjMin;
        }
        c.keys[i] = x;
        c.values[i] = value;
    }

    const double last = c.values[SampleCount - 1];
    c.endValue = std::min(std::isnan(last) ? c.adjMax : last, max);
    const double first = c.values[0];
    c.startValue = std::isnan(first) ? c.adjMin : first;
    c.middleKey = c.keys[SampleCount / 2];
    c.middleValue = c.values[SampleCount / 2];
    c.maxLabel = in.pitchMode ? truncate(c.adjMax * PitchScale) : truncate(c.adjMax);
    c.minLabel = truncate(c.adjMin);
}

Curve compute(const Input &in)
{
    Curve c;
    compute(in, &c);
    return c;
}

} // namespace ResponseCurve
