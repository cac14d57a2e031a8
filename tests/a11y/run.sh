#!/usr/bin/env bash
# Runs one assistive-technology test in a private D-Bus session of its own, so that its
# accessibility bus, registry and screen reader never meet the machine's.
# Usage: run.sh <test script> <fretly executable>. Exit 77: skipped (CTest's SKIP code).
set -euo pipefail
script=$1
skip() { echo "SKIPPED: $*"; exit 77; }
command -v dbus-run-session >/dev/null || skip "dbus-run-session is not installed (package dbus)"
[ -x /usr/bin/python3 ] || skip "/usr/bin/python3 is not installed"
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || skip "python3-pyatspi is not installed"
[ -e /usr/share/dbus-1/services/org.a11y.Bus.service ] || skip "at-spi2-core is not installed"
exec dbus-run-session -- /usr/bin/python3 "$script" "${@:2}"
