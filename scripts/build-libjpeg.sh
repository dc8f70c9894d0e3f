#!/usr/bin/env bash
# build-libjpeg.sh TARGET CACHE_DIR
# Builds the static libjpeg (6b interface, SIMD on) from Debian's source package for TARGET
# (native, x86_64-w64-mingw32 or i686-w64-mingw32) into CACHE_DIR/TARGET/{include,lib}.
# The source is fetched once into CACHE_DIR/src; a target already built returns at once, so
# every preset's configure step may call this.
set -euo pipefail

target=$1
cache=$(mkdir -p "$2" && cd "$2" && pwd)
version=2.1.5
out=$cache/$target
stamp=$out/built-$version

[ -f "$stamp" ] && exit 0

# Presets configured at the same time share the cache: one at a time fetches and builds.
exec 9>"$cache/lock"
flock 9
[ -f "$stamp" ] && exit 0

start=$(date +%s)
src=$cache/src/libjpeg-turbo-$version
if [ ! -f "$src/CMakeLists.txt" ]; then
  rm -rf "$cache/src" && mkdir -p "$cache/src"
  # apt-get source unpacks with Debian's patches applied.
  (cd "$cache/src" && apt-get source -q -o APT::Sandbox::User=root libjpeg-turbo >/dev/null)
  found=$(ls -d "$cache"/src/libjpeg-turbo-*/ | head -n 1)
  case "$found" in
    *"libjpeg-turbo-$version"/) ;;
    *) echo "build-libjpeg: Debian offers ${found:-nothing}, not $version" >&2; exit 1 ;;
  esac
fi

case "$target" in
  native)
    compiler=(-DCMAKE_C_COMPILER=clang) ;;
  x86_64-w64-mingw32|i686-w64-mingw32)
    processor=${target%%-*}
    compiler=(-DCMAKE_SYSTEM_NAME=Windows -DCMAKE_SYSTEM_PROCESSOR="$processor"
              -DCMAKE_C_COMPILER="$target-gcc-posix" -DCMAKE_RC_COMPILER="$target-windres"
              -DCMAKE_FIND_ROOT_PATH=/usr/$target) ;;
  *) echo "build-libjpeg: unknown target $target" >&2; exit 1 ;;
esac

work=$out/build
rm -rf "$out" && mkdir -p "$work"
# Only the static library: no shared one, no TurboJPEG API, no tools, no tests.
cmake -S "$src" -B "$work" -G Ninja -DCMAKE_BUILD_TYPE=Release "${compiler[@]}" \
      -DCMAKE_INSTALL_PREFIX="$out" \
      -DCMAKE_ASM_NASM_COMPILER=nasm -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
      -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF -DWITH_JPEG7=OFF -DWITH_12BIT=OFF \
      -DWITH_SIMD=ON -DREQUIRE_SIMD=ON -DWITH_JAVA=OFF >"$out/configure.log" 2>&1 ||
  { cat "$out/configure.log" >&2; exit 1; }
cmake --build "$work" --target jpeg-static >"$out/build.log" 2>&1 ||
  { tail -n 40 "$out/build.log" >&2; exit 1; }

mkdir -p "$out/include" "$out/lib"
cp "$work/libjpeg.a" "$out/lib/"
cp "$src/jpeglib.h" "$src/jmorecfg.h" "$src/jerror.h" "$work/jconfig.h" "$out/include/"
rm -rf "$work"
touch "$stamp"
echo "build-libjpeg: $target built in $(( $(date +%s) - start )) s"
