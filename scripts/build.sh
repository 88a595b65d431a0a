#!/bin/sh
# Builds every tree under build/:
#   host      portable libraries, setuppack, native tests, benchmarks (g++)
#   sanitize  the native tests under ASan+UBSan, and the fuzzers (clang)
#   win32     the delivered 32-bit Setup.exe and the demo product (i686)
#   win64     the same sources for x86-64, only where 32-bit programs cannot
#             run here, so that the Windows tests still run under wine64
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${SETUP_BUILD_DIR:-$root/build}
jobs=$(nproc 2>/dev/null || echo 2)
export SOURCE_DATE_EPOCH=${SOURCE_DATE_EPOCH:-$(git -C "$root" log -1 --format=%ct 2>/dev/null || echo 1767225600)}

"$root/scripts/install-deps.sh"

configure_and_build() {
  tree=$1; shift
  cmake -S "$root" -B "$build/$tree" -DSETUP_WERROR=ON "$@" >"$build/$tree.configure.log" 2>&1 ||
    { cat "$build/$tree.configure.log"; exit 1; }
  echo "== building $tree"
  cmake --build "$build/$tree" -j "$jobs"
}

mkdir -p "$build"
wine_tree=$("$root/scripts/wine-arch.sh")

configure_and_build host -DSETUP_TEST_PREFIX=host.
configure_and_build sanitize -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DSETUP_SANITIZE=ON -DSETUP_FUZZ=ON -DSETUP_BENCH=OFF -DSETUP_TEST_PREFIX=asan.
setuppack=$build/host/tools/setuppack
win32_tests=OFF
[ "$wine_tree" = win32 ] && win32_tests=ON
configure_and_build win32 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-i686-mingw.cmake" \
  -DSETUPPACK="$setuppack" -DSETUP_WINE_TESTS=$win32_tests -DSETUP_TEST_PREFIX=win32.
if [ "$wine_tree" = win64 ]; then
  configure_and_build win64 -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchain-x86_64-mingw.cmake" \
    -DSETUPPACK="$setuppack" -DSETUP_WINE_TESTS=ON -DSETUP_TEST_PREFIX=win64.
fi

# One test run over every tree.
{
  echo "# Every tree's tests, run by scripts/test.sh"
  printf 'subdirs("host" "sanitize" "win32"'
  [ "$wine_tree" = win64 ] && printf ' "win64"'
  echo ')'
} >"$build/CTestTestfile.cmake"
