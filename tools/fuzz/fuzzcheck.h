#pragma once

// The fuzz targets' invariant check: a broken invariant prints what broke
// (with up to 64 bytes of the input involved) and aborts, which libFuzzer
// records as a crash with its input.
#include <QByteArray>

#include <cstdio>
#include <cstdlib>

namespace FuzzCheck {

[[noreturn]] inline void fail(const char *what, const QByteArray &detail = QByteArray())
{
    std::fprintf(stderr, "invariant broken: %s %s%s\n", what, detail.left(64).toHex(' ').constData(),
                 detail.size() > 64 ? " ..." : "");
    std::abort();
}

inline void check(bool ok, const char *what, const QByteArray &detail = QByteArray())
{
    if (!ok)
        fail(what, detail);
}

} // namespace FuzzCheck
