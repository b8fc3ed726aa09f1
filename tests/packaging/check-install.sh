#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks the tree a package would hold: every
# file in place, the menu entry and the metadata valid, the icon's bitmaps of their sizes, and
# one version everywhere (CMake's, the package's changelog, the program's own --version).
# usage: check-install.sh <build folder> <CMake project version> <source folder>
set -euo pipefail
build=$1 version=$2 source=$3
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

DESTDIR="$dest" cmake --install "$build" --prefix /usr >/dev/null
id=org.hm52.Logbook
share="$dest/usr/share"
for f in "$dest/usr/bin/hm52" "$share/hm52/places.mdb" "$share/hm52/Help/index.htm" \
         "$share/hm52/Help/Hm52_reg_ita.pdf" "$share/applications/$id.desktop" \
         "$share/metainfo/$id.metainfo.xml" "$share/icons/hicolor/scalable/apps/$id.svg" \
         "$share/icons/hicolor/48x48/apps/$id.png" "$share/icons/hicolor/256x256/apps/$id.png" \
         "$share/man/man1/hm52.1"; do
    [ -s "$f" ] || fail "missing or empty: ${f#"$dest"}"
done
[ -e "$dest/usr/share/hm52/data.mdb" ] && fail "a log is installed; each user makes their own"

desktop-file-validate "$share/applications/$id.desktop" || fail "desktop entry"
grep -q '^Categories=.*HamRadio;' "$share/applications/$id.desktop" || fail "not in HamRadio"
grep -q "^Icon=$id\$" "$share/applications/$id.desktop" || fail "icon name"
appstreamcli validate --no-net "$share/metainfo/$id.metainfo.xml" >/dev/null || fail "metainfo"

# A PNG's width and height are the two 32-bit numbers at bytes 16 to 23.
for size in 48 256; do
    read -r w h < <(od -An -tu1 -j16 -N8 "$share/icons/hicolor/${size}x${size}/apps/$id.png" |
        awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
    [ "$w" = "$size" ] && [ "$h" = "$size" ] || fail "icon ${size}: ${w}x${h}"
done

changelog=$(sed -n '1s/^hm52 (\([^)]*\)).*/\1/p' "$source/debian/changelog")
[ "$changelog" = "$version" ] || fail "debian/changelog says $changelog, CMake $version"
grep -q "<release version=\"$version\"" "$share/metainfo/$id.metainfo.xml" ||
    fail "metainfo release is not $version"
said=$(env -u QT_QPA_PLATFORM -u DISPLAY "$dest/usr/bin/hm52" --version)
[ "$said" = "HM52 $version" ] || fail "hm52 --version says '$said'"
echo "install tree: all present and valid"
