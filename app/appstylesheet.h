#pragma once

#include <QString>

/// The application-wide style sheet: a dark theme with gold accents, in the
/// colours of ThemeColours (written in as "@name").
QString applicationStyleSheet();
