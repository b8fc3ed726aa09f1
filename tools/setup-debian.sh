#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing HM52 need,
# and only those that are missing. Runs apt-get as root, or through sudo otherwise.
set -euo pipefail

packages=(
    g++ make cmake                  # toolchain
    qt6-base-dev                    # Qt Widgets, PrintSupport, Test and the platform plugins
    libsqlite3-dev                  # the database engine
    libhamlib-dev pkgconf           # rig control through Hamlib, found with pkg-config
    libhamlib-utils                 # rigctld and rigctl, for the rig tests
    libxxhash-dev                   # fingerprints of the backups
    fonts-liberation2               # metric-compatible "Courier New" / "Times New Roman"
    fontconfig                      # resolves those font names
    poppler-utils                   # pdftotext, to read back printed PDF pages in tests
    clang clang-format clang-tidy   # second compiler, formatting and static analysis gates
    libclang-rt-14-dev              # clang's sanitizer runtimes
    librsvg2-bin                    # renders the icon's PNG sizes at build time
    desktop-file-utils appstream    # check the installed menu entry and metadata
)
# `make deb` needs Debian's packaging tools besides.
if [ "${1:-}" = "--deb" ]; then
    packages+=(debhelper dpkg-dev fakeroot lintian)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    sudo_cmd=()
elif command -v sudo >/dev/null 2>&1; then
    sudo_cmd=(sudo)
else
    echo "These Debian packages are missing and neither root nor sudo is available: ${missing[*]}" >&2
    exit 1
fi

export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -q
"${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends "${missing[@]}"
