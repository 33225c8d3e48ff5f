#!/usr/bin/env bash
# Runs the screenshot program on a private X server (Xvfb), where the windows are drawn as a person sees them.
set -euo pipefail
exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" env QT_QPA_PLATFORM=xcb "$@"
