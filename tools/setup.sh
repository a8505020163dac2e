#!/bin/bash
# Installs with apt-get everything that building, testing and running Tabrix
# needs on Debian 12. Packages already installed are skipped; when all are
# there it does nothing (and does not touch the network).
set -euo pipefail

packages=(
  cmake ninja-build g++           # native build
  g++-mingw-w64-x86-64            # Windows cross-build (the -posix compilers)
  wine64                          # runs the Windows build
  xvfb xdotool imagemagick        # a private X display, scripting, screenshots
  fonts-wqy-microhei              # a CJK font for the Chinese user interface
  locales                         # localedef: the zh_CN.UTF-8 locale Wine needs
  googletest                      # GoogleTest sources (/usr/src/googletest)
  clang-14 libclang-rt-14-dev     # libFuzzer and the sanitizer runtimes
  nlohmann-json3-dev              # the cli tool's JSON output
  clang-format
  strace                          # the save's system calls, checked in order by a test
  python3                         # the include-cycle check, the package test's zip listing
  nsis                            # makensis: the Windows installer
  zlib1g-dev libz-mingw-w64-dev   # zlib (the .qpyd reader), native and for the Windows build
  rime-data-luna-pinyin rime-essay python3-jieba  # real dictionaries the readers' tests read
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  echo "setup: all ${#packages[@]} packages are installed"
  exit 0
fi

echo "setup: installing ${missing[*]}"
sudo=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null 2>&1 || {
    echo "setup: not root and no sudo: install these packages as root: ${missing[*]}" >&2
    exit 1
  }
  sudo=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
apt_opts=(-o DPkg::Lock::Timeout=300 -o Acquire::Retries=3)
timeout 900 "${sudo[@]}" apt-get "${apt_opts[@]}" update
timeout 1800 "${sudo[@]}" apt-get "${apt_opts[@]}" install -y --no-install-recommends "${missing[@]}"
echo "setup: done"
