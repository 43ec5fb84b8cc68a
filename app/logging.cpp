#include "app/logging.h"

Q_LOGGING_CATEGORY(lcCurve, "stompwright.curve", QtInfoMsg)
Q_LOGGING_CATEGORY(lcEditor, "stompwright.editor", QtInfoMsg)
