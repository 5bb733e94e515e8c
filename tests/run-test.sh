#!/bin/sh
# Runs one test executable in a fresh, throw-away home.
set -e
home=$(mktemp -d "${TMPDIR:-/tmp}/quibolet-test.XXXXXX")
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/config" "$home/data" "$home/cache" "$home/runtime" "$home/Documents"
chmod 700 "$home/runtime"
export HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_DATA_HOME="$home/data" \
       XDG_CACHE_HOME="$home/cache" XDG_RUNTIME_DIR="$home/runtime" \
       QT_QPA_PLATFORM=offscreen QT_STYLE_OVERRIDE=fusion LC_ALL=C.UTF-8 LANG=C.UTF-8 TZ=Europe/Paris
"$@"
