#!/bin/sh
# Runs a Windows test program under wine64 in the build's private prefix.
# usage: wine-run.sh PREFIX PROGRAM [ARGS...]
prefix=$1; shift
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE=${WINE:-/usr/lib/wine/wine64}
[ -x "$WINE" ] || WINE=wine64
exec "$WINE" "$@"
