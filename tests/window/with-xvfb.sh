#!/bin/sh
# Runs a command under an X server of its own: a fresh Xvfb on the first free
# display, stopped when the command ends. The command's exit status is ours.
#   with-xvfb.sh COMMAND [ARGUMENTS...]
set -u
number=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$number" 2>/dev/null &
server=$!
tries=0
while [ ! -s "$number" ]; do
  tries=$((tries + 1))
  if [ "$tries" -gt 100 ] || ! kill -0 "$server" 2>/dev/null; then
    echo "with-xvfb: Xvfb did not start"; rm -f "$number"; exit 1
  fi
  sleep 0.1
done
DISPLAY=":$(cat "$number")"
export DISPLAY
# wine64-run hides the display from programs that need none; these do.
LUMAVOX_KEEP_DISPLAY=1
export LUMAVOX_KEEP_DISPLAY
rm -f "$number"
"$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
exit $status
