#!/usr/bin/env bash
# Builds the stream framing fuzzer with clang and runs it.
#
#   tools/fuzz/run.sh [seconds]        default 60
#
# Environment: FUZZ_BUILD (build directory, default build-fuzz at the top of
# the tree). The corpus the run grows stays in $FUZZ_BUILD/corpus; the seeds
# are written anew each run.
set -euo pipefail

seconds="${1:-60}"
here="$(cd "$(dirname "$0")" && pwd)"
root="$(cd "$here/../.." && pwd)"
build="${FUZZ_BUILD:-$root/build-fuzz}"

missing=()
for pkg in clang libclang-rt-14-dev qtbase5-dev cmake; do
    dpkg-query -W -f='${Status}\n' "$pkg" 2>/dev/null | grep -q 'install ok installed' \
        || missing+=("$pkg")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=$([ "$(id -u)" = 0 ] || echo sudo)
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi

cmake -S "$here" -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2

# Seeds: each read is one length byte (value % 64 + 1) and the read's bytes.
seeds="$build/seeds"
rm -rf "$seeds"
mkdir -p "$seeds" "$build/corpus"
seed() { # name, then one hex text per read (1..64 bytes; a leading * feeds a read of 64 bytes 96 times)
    local name="$1" out="" read repeat
    shift
    for read in "$@"; do
        repeat=0
        if [ "${read#\*}" != "$read" ]; then repeat=192; read="${read#\*}"; fi
        out+=$(printf '%02x' $(( ${#read} / 2 - 1 + repeat )))"$read"
    done
    printf "$(printf '%s' "$out" | sed 's/../\\x&/g')" > "$seeds/$name"
}
seed handshake     F000215E0104F7
seed status        F000215E05F7
seed set-reply     F000215E10030100F7
seed delete-reply  F000215E030500F7
seed config-split  F000215E10 04000100000700007F0032000000320000F7
seed events        0BB00740 0BB0077F099024640880240000
seed identity      5A542D330D0A AACC0656312E322E300D0A
seed garbage-first 010203F000215E0104F7
seed erase-end     455241534520454E44
seed unfinished    F000215E0000000000 0000000000000000 00000000
seed two-packets   F000215E0104F7F000215E030500F7
seed split-small   F0 00 21 5E 01 04 F7
seed overlong      F000215E01 '*'$(printf '00%.0s' $(seq 64)) F7

mkdir -p "$build/artifacts"
cd "$build"
./fuzz_streamframer -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -artifact_prefix="$build/artifacts/" -print_final_stats=1 corpus "$seeds"
