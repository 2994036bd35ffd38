#!/usr/bin/env bash
# Builds the offline service and its benchmark in Release mode and prints
# pages per second and the median MP3 synthesis time for 200 common words.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="$root/build/service-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DVORBELZOZ_BACKEND=none -DVORBELZOZ_TESTS=OFF >/dev/null
cmake --build "$build" --target vorbelzoz_service_bench -j2 >/dev/null
"$build/service/vorbelzoz_service_bench"
