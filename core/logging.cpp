#include "core/logging.h"

Q_LOGGING_CATEGORY(lcApp, "stompwright.app", QtInfoMsg)
Q_LOGGING_CATEGORY(lcLink, "stompwright.link", QtInfoMsg)
Q_LOGGING_CATEGORY(lcLinkFrames, "stompwright.link.frames", QtInfoMsg)
Q_LOGGING_CATEGORY(lcReplies, "stompwright.replies", QtInfoMsg)
Q_LOGGING_CATEGORY(lcMonitor, "stompwright.monitor", QtInfoMsg)
Q_LOGGING_CATEGORY(lcCurve, "stompwright.curve", QtInfoMsg)
Q_LOGGING_CATEGORY(lcEditor, "stompwright.editor", QtInfoMsg)
Q_LOGGING_CATEGORY(lcUpgrade, "stompwright.upgrade", QtInfoMsg)
