#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages the build, the tests and `make run` need, and only
# those that are missing, so a second run costs nothing.
set -euo pipefail

packages=(
  g++ cmake ninja-build make
  qt6-base-dev libgl-dev          # Qt 6 Core, Gui, Widgets, PrintSupport, Test
  libxkbcommon-dev                # found by Qt's CMake files, which otherwise report it missing
  qt6-translations-l10n           # Spanish texts for Qt's own dialogs and buttons
  libgtest-dev libgmock-dev
  libicu-dev                      # word breaks, normalisation and collation
  libxlsxwriter-dev pkg-config    # the .xlsx export, found through pkg-config
  zlib1g-dev                      # the tests read the .xlsx back without the library that writes it
  fonts-dejavu-core fonts-liberation2  # fonts for the offscreen and Xvfb platforms; Liberation stands in for Times New Roman
  dpkg-dev file                   # `make package`: the library dependencies of the Debian package
  ccache                          # rebuilds of unchanged files in any checkout
)

# `install-deps.sh fuzz` also installs clang and its libFuzzer runtime.
for group in "$@"; do
  case "$group" in
    fuzz) packages+=(clang libclang-rt-14-dev) ;;
    *) echo "install-deps.sh: unknown group '$group'" >&2; exit 2 ;;
  esac
done

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[[ $(id -u) -eq 0 ]] || sudo=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo[@]}" apt-get update -qq
"${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
