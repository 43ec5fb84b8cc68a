#pragma once

#include <QRgb>

/// The colours of the application's dark theme with gold accents. The style
/// sheet (applicationStyleSheet()) is written from these, so a contrast
/// computed here is the contrast on screen.
namespace ThemeColours {

/// Backgrounds that text and controls are drawn on.
constexpr QRgb window = 0xFF2A2A2A;          ///< every widget; combo box popups
constexpr QRgb groupTop = 0xFF2F2F2F;        ///< group box gradient, top stop
constexpr QRgb groupBottom = 0xFF1A1A1A;     ///< group box gradient, bottom stop
constexpr QRgb focusBackground = 0xFF333333; ///< a focused combo box
constexpr QRgb buttonTop = 0xFF5A5A5A;       ///< push button gradient, top stop
constexpr QRgb buttonBottom = 0xFF2E2E2E;    ///< push button gradient, bottom stop

constexpr QRgb text = 0xFFFFFFFF;
constexpr QRgb gold = 0xFFA68D44;          ///< captions, selections, accents
constexpr QRgb selectionText = 0xFF000000; ///< text on a gold selection
constexpr QRgb hoverBorder = 0xFFFFD700;

/// Recessed surfaces: the inside of an unchecked check box, a scroll bar groove.
constexpr QRgb well = 0xFF1E1E1E;
constexpr QRgb indicatorOutline = 0xFF8C8C8C;
/// The tick of a checked check box, drawn on gold (resource :/IMG/check.png).
constexpr QRgb checkMark = 0xFF1A1A1A;
constexpr QRgb scrollHandle = 0xFF8C8C8C;

/// Disabled controls: dimmer text and a flat, plain button, still legible.
constexpr QRgb disabledText = 0xFF8C8C8C;
constexpr QRgb disabledButton = 0xFF303030;
constexpr QRgb disabledBorder = 0xFF4A4A4A;
constexpr QRgb disabledIndicator = 0xFF5A5A5A;

/// The relative luminance of an sRGB colour as WCAG 2 defines it: 0 for
/// black to 1 for white (alpha ignored).
double relativeLuminance(QRgb colour);

/// The WCAG 2 contrast ratio of two colours, (lighter + 0.05) / (darker + 0.05)
/// of their relative luminances: 1 for equal colours to 21 for black on white.
/// WCAG asks 4.5 for body text and 3 for the parts of a control.
double contrastRatio(QRgb a, QRgb b);

} // namespace ThemeColours
