#pragma once

#include <QString>

/// The application-wide style sheet: a dark theme with gold accents.
QString applicationStyleSheet();
