#!/usr/bin/env bash
# Runs a cross-compiled Windows program under wine, quietly, in the prefix
# $WINEPREFIX (default: a prefix of our own in the user's cache), so tests
# never touch the user's ~/.wine.
set -euo pipefail
export WINEDEBUG=${WINEDEBUG:--all}
export WINEPREFIX=${WINEPREFIX:-${XDG_CACHE_HOME:-$HOME/.cache}/talonix-wine}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
exec wine "$@"
