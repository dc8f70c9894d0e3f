# display.sh, sourced by the scripts that run Windows programs: one X server for a whole run,
# and the order in which it ends.
#
# Wine's processes keep their X connection until they exit: the programs, and explorer.exe,
# which holds the desktop and outlives them by a moment. An X server stopped under them makes
# each print "X connection to :N broken" as it dies. So Wine goes first: wait for its
# processes to end (explorer.exe ends after the last program, the wineserver a few seconds
# later), force them only after a grace period, and stop the X server last.

tstools_xvfb_pid=

# Starts a private Xvfb on the first free display from :90 and exports DISPLAY. A display is
# ours only when its lock file names our server: two runs starting at once may both try the
# same number, and the one whose server loses would otherwise draw on the other's and lose
# its X connection when that run ends.
start_display() {
  local n owner
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    tstools_xvfb_pid=$!
    for _ in $(seq 300); do
      owner=$({ tr -d ' \n' < "/tmp/.X$n-lock"; } 2>/dev/null || true)
      [ -n "$owner" ] && [ "$owner" != "$tstools_xvfb_pid" ] && break
      if [ "$owner" = "$tstools_xvfb_pid" ] && [ -S "/tmp/.X11-unix/X$n" ]; then
        export DISPLAY=":$n"
        return 0
      fi
      kill -0 "$tstools_xvfb_pid" 2>/dev/null || break
      sleep 0.1
    done
    stop_display
  done
  echo "no free X display" >&2
  return 1
}

# Waits up to 30 seconds for the Wine processes of prefix $1 to end; false if they did not.
wait_wine() {
  [ -d "$1" ] || return 0
  WINEPREFIX=$1 timeout 30 /usr/lib/wine/wineserver -w 2>/dev/null
}

# As wait_wine, then ends the processes still there (a run's own prefix only).
stop_wine() {
  wait_wine "$1" && return 0
  WINEPREFIX=$1 /usr/lib/wine/wineserver -k 2>/dev/null || true
  # The processes notice their server's end and exit on their own.
  sleep 2
}

# Stops the Xvfb of start_display, and waits until it is gone.
stop_display() {
  [ -n "$tstools_xvfb_pid" ] || return 0
  kill "$tstools_xvfb_pid" 2>/dev/null || true
  wait "$tstools_xvfb_pid" 2>/dev/null || true
  tstools_xvfb_pid=
}
