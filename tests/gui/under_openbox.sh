#!/bin/sh
# Runs a command on the display in $DISPLAY under the openbox window manager: starts it,
# waits until it manages the screen, runs the command, and ends it again. The command's
# exit status is the script's.
openbox --sm-disable >/dev/null 2>&1 &
wm=$!
tries=0
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
  tries=$((tries + 1))
  if [ "$tries" -gt 200 ] || ! kill -0 "$wm" 2>/dev/null; then
    echo "openbox did not start" >&2
    kill "$wm" 2>/dev/null
    exit 1
  fi
  sleep 0.05
done
"$@"
status=$?
kill "$wm" 2>/dev/null
wait "$wm" 2>/dev/null
exit $status
