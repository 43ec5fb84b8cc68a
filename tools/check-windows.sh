#!/usr/bin/env bash
# Compiles the Windows-only units (device/*_win.cpp) with the MinGW-w64 cross
# compiler, syntax only: they cannot be built or run on this platform. Units
# that use Qt see this machine's Qt headers as system headers.
set -euo pipefail
cd "$(dirname "$0")/.."

CXX=x86_64-w64-mingw32-g++
if ! command -v "$CXX" >/dev/null 2>&1; then
    echo "Installing the MinGW-w64 cross compiler"
    SUDO=$([ "$(id -u)" = 0 ] || echo sudo)
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq g++-mingw-w64-x86-64-posix
fi

qt=()
for dir in $(pkg-config --cflags-only-I Qt5Core Qt5Gui 2>/dev/null); do
    qt+=(-isystem "${dir#-I}")
done
if [ ${#qt[@]} -eq 0 ]; then
    echo "Qt 5 headers not found (pkg-config Qt5Core Qt5Gui)" >&2
    exit 1
fi

shopt -s nullglob
units=(device/*_win.cpp)
if [ ${#units[@]} -eq 0 ]; then
    echo "no Windows units found" >&2
    exit 1
fi
failed=0
for unit in "${units[@]}"; do
    if "$CXX" -std=c++17 -fsyntax-only -Wall -Wextra -Werror -I. "${qt[@]}" "$unit"; then
        echo "ok   $unit"
    else
        echo "FAIL $unit"
        failed=$((failed + 1))
    fi
done
echo "windows units: $(( ${#units[@]} - failed )) compiled, $failed failed"
[ "$failed" -eq 0 ]
