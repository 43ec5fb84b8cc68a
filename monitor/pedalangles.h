#pragma once

#include <optional>

/// Tilt angles of the pedal pictures, in degrees, from a live value and the
/// range set on the pedal's page. a and b are the range selectors' values in
/// the order the page lists them (for example maximum, minimum); either may
/// be the larger.
namespace PedalAngles {

/// Expression pedal: 15 at the range's low end, 0 (flat) at its high end,
/// clamped to 0..15. None for a range with equal ends: the picture stays.
std::optional<float> expression(int a, int b, int value);

/// Hi-hat pedal at rest, before any value and for value 0.
constexpr float hiHatRest = 3.0f;
/// Hi-hat pedal: 0 at the range's low end, -5 at its high end, unclamped;
/// hiHatRest for value 0. None for a range with equal ends.
std::optional<float> hiHat(int a, int b, int value);

/// Switch pedal: fully pressed, and at rest.
constexpr double switchPressed = 8.0;
constexpr double switchRest = 0.0;
/// The press animation of every mode but "Reset": pressed back to rest, in ms.
constexpr int switchSpringBackMs = 400;
/// The move to a target angle in the "Reset" mode, in ms.
constexpr int switchResetMs = 150;

/// Target angle of the "Reset" mode. a is the range's minimum or -1 when
/// the event type has no range, b its maximum: a maps to rest and b to
/// pressed, in proportion between them (unclamped). With equal ends a value
/// other than the one end has no place in the range: it goes to rest.
double switchResetTarget(int a, int b, int value);

} // namespace PedalAngles
