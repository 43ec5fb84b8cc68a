#pragma once

#include <QLoggingCategory>

// Diagnostic categories. Debug output is off by default; switch it on with
// QT_LOGGING_RULES, e.g. QT_LOGGING_RULES="stompwright.curve.debug=true".
// Warnings stay on.
Q_DECLARE_LOGGING_CATEGORY(lcCurve)
Q_DECLARE_LOGGING_CATEGORY(lcEditor)
