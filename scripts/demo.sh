#!/usr/bin/env bash
# The main job: builds the library and the tool, then encrypts two real files
# (a text and a program) into RTF and BMP containers in a temporary folder,
# decrypts them again and checks that the bytes came back unchanged.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake --preset release >/dev/null
cmake --build --preset release -j"$(nproc)" --target pixveil >/dev/null
pixveil=$PWD/build/release/bin/pixveil

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/in"
cp README.md "$work/in/notes.txt"
cp "$(command -v cmake)" "$work/in/program.bin"

status=0
for format in rtf bmp; do
  switches=(/P:correct-horse /Y)
  [ "$format" = bmp ] && switches+=(/BMP)
  echo "### encrypt into $format"
  "$pixveil" "$work/in/*" "$work/$format" "${switches[@]}"
  ls -l "$work/$format"
  echo "### report on one container"
  "$pixveil" "$work/$format/notes.txt.$format" /I /P:correct-horse
  echo "### decrypt the $format containers"
  "$pixveil" "$work/$format/*.$format" "$work/$format-back" /P:correct-horse /D /Y
  for name in notes.txt program.bin; do
    if cmp -s "$work/in/$name" "$work/$format-back/$name"; then
      echo "round trip via $format: $name identical ($(stat -c %s "$work/in/$name") bytes)"
    else
      echo "round trip via $format: $name DIFFERS"
      status=1
    fi
  done
done
exit $status
