#!/usr/bin/env bash
# Runs the screenshot program on a private X server (Xvfb), where the windows are drawn as a person sees them.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# Under the leak checker, the system D-Bus library's own leaks are not ours.
export LSAN_OPTIONS="suppressions=${here}/lsan.supp${LSAN_OPTIONS:+:${LSAN_OPTIONS}}"
# Start the search for a free display at a number of our own, so that runs in parallel do not collide.
exec xvfb-run -a -n $((200 + $$ % 500)) -s "-screen 0 1024x768x24 -nolisten tcp" env QT_QPA_PLATFORM=xcb "$@"
