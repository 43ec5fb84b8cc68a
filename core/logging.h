#pragma once

#include <QLoggingCategory>

// Diagnostic categories. Debug output is off by default; switch it on with
// QT_LOGGING_RULES, e.g. QT_LOGGING_RULES="stompwright.curve.debug=true", or
// "stompwright.*.debug=true" for all. Warnings stay on.
Q_DECLARE_LOGGING_CATEGORY(lcApp)     ///< start-up
Q_DECLARE_LOGGING_CATEGORY(lcLink)    ///< serial link: ports, packets, identity
Q_DECLARE_LOGGING_CATEGORY(lcLinkFrames) ///< serial link: every read and every frame
Q_DECLARE_LOGGING_CATEGORY(lcReplies) ///< configuration replies of the controller
Q_DECLARE_LOGGING_CATEGORY(lcMonitor) ///< live event frames, tables and pictures
Q_DECLARE_LOGGING_CATEGORY(lcCurve)
Q_DECLARE_LOGGING_CATEGORY(lcEditor)
Q_DECLARE_LOGGING_CATEGORY(lcUpgrade) ///< firmware upgrade: states, downloads, the automatic upgrade
