#!/usr/bin/env bash
# Builds everything and runs every test under Wine. Run as root on Debian 12.
set -eu
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
bash tools/install-deps.sh
bash tools/checkdist/build-native.sh  # the publisher's checker builds natively too
jobs=$(nproc)

build() { # arch
  cmake -S . -B "build/$1" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchain-mingw-$1.cmake" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "build/$1" -j "$jobs"
}

# The programs ship as 32-bit executables: always build them (and the tests) for i686.
build i686
arch=i686
if ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  # Some kernels run with 32-bit code disabled (ia32_emulation off): no 32-bit
  # program can execute there, so the same sources are tested as 64-bit programs.
  echo "note: this machine cannot execute 32-bit code; running the tests on the x86_64 build"
  build x86_64
  arch=x86_64
fi
status=0
(cd "build/$arch" && ctest --output-on-failure -j "$jobs" --timeout 900) || status=$?
# The pure parsers natively under sanitizers: every committed input, then a few seconds each.
bash tools/fuzz.sh --smoke || status=1
exit $status
