#pragma once

#include <QVector>

/// The response curve of an expression or hi-hat pedal as the controller
/// applies it: pedal position x (0..1) to output value (0..127), shaped by
/// the output range, the gain and the curvature. No widgets; the curve
/// editor plots what compute() returns.
namespace ResponseCurve {

constexpr int SampleCount = 500;
/// 14-bit Pitch Bend values are shown on the 7-bit scale divided by this.
constexpr double PitchScale = 129.0;

struct Input {
    double minValue = 0;   ///< selector units; 0..16383 in pitch mode
    double maxValue = 127;
    double gain = 0;       ///< -50..50
    double curvature = 0;  ///< -50..50
    bool pitchMode = false;
};

struct Curve {
    /// The range as the editor keeps it after a recompute: divided by
    /// PitchScale in pitch mode, and a maximum above 127 brought down as well.
    double minValue = 0;
    double maxValue = 0;
    float gainFactor = 1;  ///< 0.5 (gain -50) .. 2.0 (gain +50)
    int curvature = 0;     ///< the curvature truncated to an int
    double t1 = 1;         ///< position at which the curve reaches its maximum
    double t2 = 1;         ///< position of the inverted range's turning point
    int curveCode = 100;   ///< int(100 * t1), sent to the controller
    double adjMin = 0;     ///< floor and top of the curve, 0..127
    double adjMax = 0;
    QVector<double> keys;   ///< SampleCount positions 0..1
    QVector<double> values; ///< SampleCount output values
    double startValue = 0;  ///< label anchors: first sample, last sample (capped at the maximum)
    double endValue = 0;
    double middleKey = 0;   ///< the middle sample, where the curvature handle sits
    double middleValue = 0;
    int maxLabel = 0;       ///< MAX label: int(adjMax), times 129 in pitch mode
    int minLabel = 0;       ///< MIN label: int(adjMin)
};

/// Recomputes *out from in; the sample vectors are reused when already sized.
void compute(const Input &in, Curve *out);
Curve compute(const Input &in);

} // namespace ResponseCurve
