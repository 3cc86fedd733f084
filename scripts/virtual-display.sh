# Shared by the scripts that start the window on a virtual X display; source
# it, set `work` to a scratch folder, then call start_virtual_display (and,
# for a Windows program, wine_on_virtual_display).
# The EXIT trap stops the program ($app_pid) and Xvfb and removes $work.

xvfb_pid=""
app_pid=""

stop_virtual_display() {
  set +e
  if [[ -n $app_pid ]]; then
    kill "$app_pid" 2>/dev/null
    wait "$app_pid" 2>/dev/null
  fi
  if [[ -n $xvfb_pid ]]; then
    kill "$xvfb_pid" 2>/dev/null
    wait "$xvfb_pid" 2>/dev/null
  fi
  rm -rf "$work"
}
trap stop_virtual_display EXIT

# Starts Xvfb on a free display and exports DISPLAY; returns 1 when it does
# not start (its last words are in $work/xvfb.log).
start_virtual_display() {
  # Xvfb picks a free display itself and writes its number to the given fd.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >/dev/null 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [[ -s $work/display ]] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  local display
  display=$(tr -dc '0-9' <"$work/display")
  [[ -n $display ]] || return 1
  export DISPLAY=":$display"
}

# Readies $WINEPREFIX for a program on the display just started: a Wine
# server left from an earlier program of this prefix would keep that
# program's display, so it is waited for; a new prefix is made.
wine_on_virtual_display() {
  wineserver --wait 2>/dev/null
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    wineboot --init >/dev/null 2>&1
    wineserver --wait 2>/dev/null
  fi
}
