#!/usr/bin/env bash
# Validates the desktop entry and the AppStream metadata of the package with
# the freedesktop and AppStream validators (never over the network). Exits 77
# (skipped) when a validator is not installed.
# Usage: metadata.sh DESKTOP_FILE METAINFO_FILE
set -u
desktop=$1
metainfo=$2
missing=()
command -v desktop-file-validate >/dev/null || missing+=(desktop-file-utils)
command -v appstreamcli >/dev/null || missing+=(appstream)
if [ ${#missing[@]} -gt 0 ]; then
  echo "skipped: ${missing[*]} not installed"
  exit 77
fi
status=0
echo "== desktop-file-validate $desktop"
desktop-file-validate "$desktop" || status=1
echo "== appstreamcli validate --no-net $metainfo"
appstreamcli validate --no-net --explain "$metainfo" || status=1
# The metadata names the desktop entry it launches by the entry's file name.
launchable=$(sed -n 's:.*<launchable type="desktop-id">\(.*\)</launchable>.*:\1:p' "$metainfo")
if [ "$launchable" != "$(basename "$desktop")" ]; then
  echo "the metadata launches '$launchable', the desktop entry is $(basename "$desktop")"
  status=1
fi
exit $status
