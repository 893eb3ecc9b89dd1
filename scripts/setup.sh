#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, only those still missing.
set -euo pipefail

packages=(cmake ninja-build g++ python3 perl libgtest-dev clang-format libbenchmark-dev
    g++-mingw-w64-i686 g++-mingw-w64-i686-win32 g++-mingw-w64-x86-64 g++-mingw-w64-x86-64-win32
    wine wine32:i386 wine64 xvfb xauth imagemagick x11-apps locales)

missing=()
for package in "${packages[@]}"; do
    dpkg -s "$package" >/dev/null 2>&1 || missing+=("$package")
done
[ "${#missing[@]}" -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || {
        echo "setup: not root and no sudo; install these first: ${missing[*]}" >&2
        exit 1
    }
    sudo=(sudo)
fi
# wine32 is the i386 build: 32-bit programs such as ostrevo.exe cannot run without it.
if [[ " ${missing[*]} " == *" wine32:i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo[@]}" dpkg --add-architecture i386
fi
"${sudo[@]}" apt-get update
"${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
