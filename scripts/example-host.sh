#!/usr/bin/env bash
# example-host.sh <build dir> <toolchain file> <C++ compiler> <wine loader> [run-one]: installs
# the build into a temporary prefix, moves it (the package must not depend on where it was
# installed), builds examples/host against it as a host's own project would, once with
# CMake's find_package and once with the compiler and pkg-config, and runs both under Wine
# (only the first with run-one: a 32-bit process start costs about a minute under qemu).
set -euo pipefail
build=$1 toolchain=$2 cxx=$3 loader=$4 runs=${5:-all}
root=$(cd "$(dirname "$0")/.." && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Quiet unless a step fails.
step() {
  "$@" >"$work/step.log" 2>&1 || { cat "$work/step.log"; echo "failed: $*"; exit 1; }
}

step cmake --install "$build" --prefix "$work/installed"
mv "$work/installed" "$work/moved"
prefix=$work/moved

step cmake -S "$root/examples/host" -B "$work/cmake" -G Ninja -DCMAKE_BUILD_TYPE=Release \
     -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DTSTOOLS_DIR="$prefix/lib/cmake/TSTOOLS"
step cmake --build "$work/cmake"

mkdir "$work/pkgconfig"
flags=$(PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" pkg-config --cflags --libs tstools)
# shellcheck disable=SC2086  # the flags are words
# -static would hide the import library (libtstools.dll.a) from -ltstools: the runtimes
# are linked in one by one instead.
step "$cxx" -std=c++17 -O2 "$root/examples/host/host.cpp" $flags -lgdi32 -static-libgcc -static-libstdc++ \
     -o "$work/pkgconfig/example_host.exe"
cp "$(PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" pkg-config --variable=dll tstools)" "$work/pkgconfig/"

status=0
for program in "$work/cmake/example_host.exe" "$work/pkgconfig/example_host.exe"; do
  echo "== $(basename "$(dirname "$program")"): $program"
  "$root/scripts/wine-exec.sh" "$build" "$loader" "$program" || status=1
  [ "$runs" = run-one ] && break
done
exit $status
