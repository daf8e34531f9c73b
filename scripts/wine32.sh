#!/usr/bin/env bash
# The 32-bit Wine loader, run inside the i386 root (scripts/i386root.sh).
exec "$(dirname "$0")/i386root.sh" run /usr/lib/wine/wine "$@"
