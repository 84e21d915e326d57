#!/bin/sh
# Runs a Windows test program under wine64 in the build's private prefix.
# usage: wine-run.sh PREFIX PROGRAM [ARGS...]
prefix=$1; shift
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
# The tests expect the ANSI code page 1252 that this locale gives Wine.
export LC_ALL=C.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE=${WINE:-/usr/lib/wine/wine64}
[ -x "$WINE" ] || WINE=wine64
exec "$WINE" "$@"
