#pragma once

#include <QStringList>

/// Decimal texts first..last, as the number selectors list them (index = value - first).
QStringList numberItems(int first, int last);

/// "OFF" followed by "1".."last": the trigger-level and legacy gain lists.
QStringList offThenNumbers(int last);
