# X servers of a run's own (Xvfb, no window manager), for what the shared
# display cannot show. Needs WORK and fail; XSERVERS lists the servers still
# running, for the run's cleanup to end.
XSERVERS=
# Starts one on a free display, 1280 x 1024 unless the arguments (Xvfb's
# own) say otherwise; sets XDISPLAY and XPID.
start_x_server() {
  Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x1024x24 "$@" 3> "$WORK/xdisplay" 2> "$WORK/xvfb.err" &
  XPID=$!
  XSERVERS="$XSERVERS $XPID"
  for _ in $(seq 1 100); do [ -s "$WORK/xdisplay" ] && break; sleep 0.1; done
  [ -s "$WORK/xdisplay" ] || fail "no X server of our own: $(tail -2 "$WORK/xvfb.err")"
  XDISPLAY=:$(cat "$WORK/xdisplay")
  rm -f "$WORK/xdisplay"
}
stop_x_server() {
  kill "$XPID" 2> /dev/null
  wait "$XPID" 2> /dev/null
  XSERVERS=${XSERVERS/ $XPID/}
}
stop_x_servers() {
  for p in $XSERVERS; do kill -KILL "$p" 2> /dev/null; wait "$p" 2> /dev/null; done
  XSERVERS=
}
