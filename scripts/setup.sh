#!/usr/bin/env bash
# Installs everything the build and the tests need on a fresh Debian 12 machine.
# Idempotent: a machine that already has it all returns in well under a second.
set -euo pipefail

packages=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools wine wine64 wine32:i386
          xvfb xauth qemu-user cmake ninja-build clang python3 googletest
          pkgconf  # the example host is also built the pkg-config way
          fonts-dejavu-core fonts-liberation  # a known font set for the font table tests
          imagemagick netpbm  # other programs' PICT writers and reader: references for the picture tests
          nasm dpkg-dev  # libjpeg-turbo is built from Debian's source package, SIMD included
          libjpeg-turbo-progs giflib-tools libgif-dev)  # JPEG and GIF oracles for the import tests
packages+=(sox)  # WAVE oracle of the sound tests, and the sound benchmark's peer
packages+=(xclip)  # the scrap tests' peer on the X clipboard Wine's clipboard is
packages+=(t1utils fonts-urw-base35 ghostscript)  # Type 1 outlines to download, and t1disasm and gs to check what was sent

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
  # The security suite's i386 index can lag behind its amd64 one; wine32 then pulls
  # mismatched :i386 dependencies. Prefer the main suite so both architectures match.
  pin=/etc/apt/preferences.d/tstools-security-pin
  if [ ! -f "$pin" ]; then
    printf 'Package: *\nPin: release l=Debian-Security\nPin-Priority: 100\n' > "$pin"
  fi
  apt-get update -q || echo "setup: apt-get update reported errors; continuing with what was fetched"
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# libjpeg-turbo is built from Debian's source package (scripts/build-libjpeg.sh), so apt needs
# the source indexes too. Debian 12 lists its archive in deb822 form; older images in sources.list.
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
  echo "setup: adding the source indexes to apt"
  deb822=/etc/apt/sources.list.d/debian.sources
  if [ -f "$deb822" ]; then
    sed -i -E 's/^Types:[[:space:]]*deb[[:space:]]*$/Types: deb deb-src/' "$deb822"
  elif [ -f /etc/apt/sources.list ]; then
    sed -n -E 's/^deb (.*)$/deb-src \1/p' /etc/apt/sources.list > /etc/apt/sources.list.d/tstools-src.list
  fi
  apt-get update -q || echo "setup: apt-get update reported errors; continuing with what was fetched"
fi

# 32-bit Windows programs run under wine32, which needs qemu-i386 to execute i386 ELF here.
if [ ! -e /proc/sys/fs/binfmt_misc/register ]; then
  mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc 2>/dev/null || true
fi
if [ -e /proc/sys/fs/binfmt_misc/register ] && [ ! -e /proc/sys/fs/binfmt_misc/qemu-i386 ]; then
  qemu=$(command -v qemu-i386 || command -v qemu-i386-static || true)
  if [ -n "$qemu" ]; then
    echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$qemu"':F' \
      > /proc/sys/fs/binfmt_misc/register 2>/dev/null || true
  fi
fi
exit 0
