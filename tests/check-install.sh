#!/bin/sh
# Follows the README: the program built alone, as "./run" builds it, in a build folder of
# its own beside the tests' build, then installed with "cmake --install --strip" into a
# throw-away prefix; checks what a desktop finds there: a valid menu entry, and the icon at
# every size, drawn without any text element. The folder is kept from run to run, so that
# only the first run builds everything.
set -eu
source=$1
build=$2/install-check
prefix=$(mktemp -d "${TMPDIR:-/tmp}/quibolet-install.XXXXXX")
trap 'rm -rf "$prefix"' EXIT
cmake -S "$source" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target quibolet -j4 >/dev/null
cmake --install "$build" --prefix "$prefix" --strip >/dev/null
share=$prefix/share
test -x "$prefix/bin/quibolet"
test -f "$share/quibolet/Quibolet.html"
hints=$(desktop-file-validate "$share/applications/quibolet.desktop" 2>&1 || echo "invalid")
if [ -n "$hints" ]; then echo "desktop entry: $hints"; exit 1; fi
if grep -q "<text" "$share/icons/hicolor/scalable/apps/quibolet.svg"; then echo "the icon depends on fonts"; exit 1; fi
for size in 16 24 32 48; do
  python3 - "$share/icons/hicolor/${size}x${size}/apps/quibolet.png" "$size" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], 'rb').read()
size = int(sys.argv[2])
assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG'
width, height, depth, kind = struct.unpack('>IIBB', data[16:26])
assert (width, height) == (size, size), f'{width}x{height} instead of {size}'
# Something is drawn: the picture is not one flat colour.
pos, chunks = 8, b''
while pos < len(data):
    length, = struct.unpack('>I', data[pos:pos + 4])
    if data[pos + 4:pos + 8] == b'IDAT': chunks += data[pos + 8:pos + 8 + length]
    pos += 12 + length
raw = zlib.decompress(chunks)
rows = [raw[r * (len(raw) // height) + 1:(r + 1) * (len(raw) // height)] for r in range(height)]
assert len(set(rows)) > size // 4, 'the icon is blank'
PY
done
