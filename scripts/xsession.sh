# An X server of its own on a free display, one of the programs in it, and its window: what
# the end-to-end test and the screenshot script share. Source it from bash. It makes a private
# scratch folder, $session, and a trap that ends the program and the server on exit.
#
#   xsession_start WxH          Xvfb on a free display; exports DISPLAY
#   xsession_run PROGRAM [VAR=VALUE...]
#                               the program on the xcb platform, its stderr in
#                               $session/stderr; sets $app_pid and $window
#   xsession_stop               ends the program and the server

session=$(mktemp -d)
mkdir -m 0700 "$session/runtime"
xvfb_pid="" app_pid=""

xsession_stop() {
    [ -z "$app_pid" ] || kill "$app_pid" 2>/dev/null || true
    [ -z "$xvfb_pid" ] || kill "$xvfb_pid" 2>/dev/null || true
    wait 2>/dev/null || true
    app_pid="" xvfb_pid=""
}
trap 'xsession_stop; rm -rf "$session"' EXIT
trap 'exit 1' HUP INT TERM

now_ms() { echo $(($(date +%s%N) / 1000000)); }

xsession_start() {
    rm -f "$session/display"
    Xvfb -displayfd 3 -screen 0 "$1x24" -nolisten tcp 3>"$session/display" 2>"$session/xvfb.log" &
    xvfb_pid=$!
    timeout 10 sh -c "until [ -s '$session/display' ]; do sleep 0.05; done" ||
        { echo "Xvfb did not start: $(cat "$session/xvfb.log")" >&2; return 1; }
    DISPLAY=":$(cat "$session/display")"
    export DISPLAY
    unset WAYLAND_DISPLAY
}

# Its own runtime folder, so that Qt has no cause to warn about one.
xsession_run() {
    local program=$1
    shift
    env QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$session/runtime" "$@" "$program" 2>"$session/stderr" &
    app_pid=$!
    window=$(timeout 10 xdotool search --sync --onlyvisible --pid "$app_pid" | head -n 1) ||
        { echo "$program showed no window" >&2; return 1; }
}

# The size of the window's client area, WxH, as the X server has it.
client_size() {
    xwininfo -id "$window" | awk '/Width:/ { w = $2 } /Height:/ { h = $2 } END { print w "x" h }'
}
