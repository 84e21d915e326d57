#!/usr/bin/env bash
# Builds all three targets and runs every test: natively (ASan + UBSan), the
# x86_64 Windows build under wine64, and the export-table check of the shipped
# i686 build. Exits non-zero when any part fails.
set -uo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh || exit 1

jobs=$(nproc)
results=()
failed=0

step() {
  local name=$1
  shift
  echo "=== $name"
  if "$@"; then
    results+=("ok     $name")
  else
    results+=("FAILED $name")
    failed=$((failed + 1))
    return 1
  fi
}

build() { cmake --preset "$1" >/dev/null && cmake --build --preset "$1" -j"$jobs"; }

wine_tests() {
  local prefix=$PWD/build/win64/wineprefix
  export WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
  /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1
  # One server for the whole run, so each test program starts quickly.
  /usr/lib/wine/wineserver -p >/dev/null 2>&1 </dev/null &
  local status=0
  ctest --preset win64 || status=$?
  /usr/lib/wine/wineserver -k >/dev/null 2>&1
  wait
  return $status
}

step "native build" build native && step "native tests" ctest --preset native
step "win32 build" build win32 && step "win32 export table" ctest --preset win32
step "win64 build" build win64 && step "win64 tests under wine64" wine_tests

echo "=== summary"
printf '%s\n' "${results[@]}"
passed=$(( ${#results[@]} - failed ))
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
