#!/usr/bin/env bash
# Runs a window test on the X display it is given (xvfb-run starts one) with
# a window manager, as on a user's desktop: it focuses new windows and gives
# the focus back to the main window when a message box closes.
set -eu
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
trap 'kill "$wm" 2>/dev/null || true' EXIT
sleep 1
"$@"
