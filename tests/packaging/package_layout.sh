#!/usr/bin/env bash
# Installs the build into a staging folder as the Debian package lays it out
# (prefix /usr) and checks what a user of the package relies on: the
# launchers in /usr/bin lead into the program folder, the program folder holds
# everything the build's program folder holds, the desktop entry names an
# installed launcher and theme icon, and the installed tool reads the
# installed content archive.
# Usage: package_layout.sh BUILD_DIR PROGRAM_DIR
set -euo pipefail
build=$1
program=$2
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

DESTDIR=$stage cmake --install "$build" --prefix /usr >/dev/null
usr=$stage/usr
lib=$usr/lib/orbita

for name in orbita orbita-tool; do
  link=$usr/bin/$name
  if [ ! -L "$link" ]; then
    fail "$link is not a symbolic link"
    continue
  fi
  target=$(readlink "$link")
  case $target in
    /*) fail "$link points to the absolute path $target" ;;
  esac
  [ "$(readlink -f "$link")" = "$(readlink -f "$lib/$name")" ] || fail "$link leads to $target, not to $lib/$name"
  [ -x "$lib/$name" ] || fail "$lib/$name is not executable"
done

# Every file of the build's program folder is installed, and nothing else
# lands in the program folder.
expected=$(cd "$program" && find . -type f | sort)
installed=$(cd "$lib" && find . -type f | sort)
if [ "$expected" != "$installed" ]; then
  fail "the installed program folder differs from $program:"
  diff <(echo "$expected") <(echo "$installed") || true
fi

# The desktop entry starts an installed launcher and shows a theme icon.
desktop=$(find "$usr/share/applications" -name '*.desktop')
[ "$(echo "$desktop" | wc -l)" -eq 1 ] || fail "expected one desktop entry, found: $desktop"
exec_name=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$desktop")
[ -L "$usr/bin/$exec_name" ] || fail "Exec=$exec_name is not a launcher in /usr/bin"
icon=$(sed -n 's/^Icon=//p' "$desktop")
for size in 48x48 128x128 256x256; do
  png=$usr/share/icons/hicolor/$size/apps/$icon.png
  if [ ! -f "$png" ]; then
    fail "no $size icon $png"
    continue
  fi
  # The picture's own size: width and height are the PNG header's bytes 16-23.
  dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{ printf "%dx%d", $3 * 256 + $4, $7 * 256 + $8 }')
  [ "$dims" = "$size" ] || fail "$png is $dims, not $size"
done
[ -f "$usr/share/icons/hicolor/scalable/apps/$icon.svg" ] || fail "no scalable icon $icon.svg"
grep -q "<launchable type=\"desktop-id\">$(basename "$desktop")</launchable>" "$usr"/share/metainfo/*.metainfo.xml \
  || fail "the AppStream metadata does not launch $(basename "$desktop")"
[ -f "$usr/share/doc/orbita/copyright" ] || fail "no copyright file"
gzip -t "$usr/share/doc/orbita/changelog.gz" || fail "the changelog is not a gzip file"

# The tool started through its launcher reads the installed archive.
"$usr/bin/orbita-tool" archive test "$lib/ORBITA.DAT" >/dev/null || fail "orbita-tool archive test failed on $lib/ORBITA.DAT"

if [ $failures -gt 0 ]; then
  echo "$failures failure(s)"
  exit 1
fi
echo "package layout OK"
