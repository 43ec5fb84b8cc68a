#pragma once

#include <QByteArray>
#include <QRandomGenerator>

/// count reproducible bytes of every value, the same for the same seed: a
/// stand-in firmware image or download body for the simulator, tests and tools.
inline QByteArray pseudoRandomBytes(int count, quint32 seed = 1)
{
    QRandomGenerator random(seed);
    QByteArray bytes(count, '\0');
    for (char &b : bytes)
        b = char(random.bounded(256));
    return bytes;
}
