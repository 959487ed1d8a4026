# Shared by the end-to-end scripts (sourced): a work folder and the children
# to end on exit, an Xvfb of its own (the script skips with code 77 where none
# can start; weston's Xwayland with E2E_WAYLAND) with the window manager that
# E2E_WM names (none when empty), the
# keys of the Russian layout for xdotool, and the wait for the programs' state
# report (QUILLON_TEST_REPORT).
set -u
export LC_ALL=C.UTF-8

work=$(mktemp -d)
children=()
cleanup() {
  for pid in "${children[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export XDG_RUNTIME_DIR="$work/runtime"
mkdir -m 700 "$XDG_RUNTIME_DIR"

fail() {
  echo "FAIL: $*"
  exit 1
}

# await_true TRIES COMMAND...: runs COMMAND every 0.05 s until it succeeds,
# at most TRIES times; fails when it never does.
await_true() {
  local tries=$1 i
  shift
  for ((i = 0; i < tries; i++)); do
    "$@" && return 0
    sleep 0.05
  done
  return 1
}

# --- the X server: a free display number of its own choosing, kept as it is
# between clients (-noreset), so the layout set by setxkbmap stays. With
# E2E_WAYLAND set, a headless Wayland compositor (weston) instead, whose
# Xwayland serves X clients; the programs choose their platform themselves.
start_xvfb() {
  if ! command -v Xvfb >/dev/null; then
    echo "SKIP: no X server can start here (Xvfb is missing; make deps installs it)"
    exit 77
  fi
  for tool in xdotool setxkbmap; do
    command -v $tool >/dev/null || fail "$tool is missing (make deps installs it)"
  done
  Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" 2>"$work/xvfb.log" &
  children+=($!)
  if ! await_true 100 test -s "$work/display"; then
    echo "SKIP: no X server can start here:"
    cat "$work/xvfb.log"
    exit 77
  fi
  export DISPLAY=":$(cat "$work/display")"
  export QT_QPA_PLATFORM=xcb QUILLON_TEST_REPORT=1
  unset WAYLAND_DISPLAY
}

start_weston() {
  for tool in weston Xwayland xdotool; do
    command -v $tool >/dev/null || fail "$tool is missing (make deps installs it)"
  done
  export WAYLAND_DISPLAY=wayland-e2e XDG_SESSION_TYPE=wayland
  weston --backend=headless-backend.so --xwayland --socket=$WAYLAND_DISPLAY --width=1280 --height=1024 \
    >"$work/weston.log" 2>&1 &
  children+=($!)
  local number=""
  xwayland_listens() {
    number=$(sed -n 's/.*xserver listening on display :\([0-9]*\).*/\1/p' "$work/weston.log" | head -1)
    [ -n "$number" ]
  }
  await_true 200 xwayland_listens || fail "weston started no Xwayland: $(cat "$work/weston.log")"
  export DISPLAY=":$number" QUILLON_TEST_REPORT=1
  unset QT_QPA_PLATFORM
}

if [ -n "${E2E_WAYLAND:-}" ]; then start_weston; else start_xvfb; fi

# --- the window manager, as a user's desktop has one; it keeps its settings
# in the work folder. Ready once it names itself on the root window.
wm=${E2E_WM:-}
if [ -n "$wm" ]; then
  for tool in "$wm" xprop; do
    command -v "$tool" >/dev/null || fail "$tool is missing (make deps installs it)"
  done
  mkdir -p "$work/home"
  HOME="$work/home" XDG_CONFIG_HOME="$work/home" "$wm" >"$work/wm.log" 2>&1 &
  children+=($!)
  wm_named() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
  await_true 200 wm_named || fail "$wm did not start: $(cat "$work/wm.log")"
  echo "window manager: $wm"
fi

# --- keys: the physical keys of the Russian layout by XKB keycode (Windows and
# XKB give the same characters on them), shifted where the character needs it.
declare -A KEY SHIFTED
row() {
  local codes=($1) chars=$2 i
  for i in "${!codes[@]}"; do KEY[${chars:i:1}]=${codes[i]}; done
}
row "49 10 11 12 13 14 15 16 17 18 19 20 21" "ё1234567890-="
row "24 25 26 27 28 29 30 31 32 33 34 35 51" "йцукенгшщзхъ\\"
row "38 39 40 41 42 43 44 45 46 47 48" "фывапролджэ"
row "52 53 54 55 56 57 58 59 60 61 65" "ячсмитьбю. "
SHIFTED=([!]=10 ['"']=11 [№]=12 [';']=13 [%]=14 [:]=15 [?]=16 [,]=61)
TAB=23

# The xdotool key arguments that type text on the Russian layout.
keys_for() {
  local text=$1 i c lower
  for ((i = 0; i < ${#text}; i++)); do
    c=${text:i:1}
    lower=${c,,}
    if [ -n "${KEY[$c]:-}" ]; then
      echo -n "${KEY[$c]} "
    elif [ "$lower" != "$c" ] && [ -n "${KEY[$lower]:-}" ]; then
      echo -n "shift+${KEY[$lower]} "
    elif [ -n "${SHIFTED[$c]:-}" ]; then
      echo -n "shift+${SHIFTED[$c]} "
    else
      fail "no key types '$c'"
    fi
  done
}

# Waits for a line of the program's report that starts with prefix, after
# its first SKIP lines (none when not given); prints it. Patient, as a loaded
# machine may take long to start a program.
await() {
  local file=$1 prefix=$2 skip=${3:-0} line
  reported() { line=$(tail -n +$((skip + 1)) "$file" | grep -m1 "^$prefix"); }
  await_true 600 reported && echo "$line"
}

# start PROGRAM REPORT ARGUMENT...: the program from its own folder, as a user
# starts it, its report in REPORT; sets started_pid.
start() {
  local program=$1 report=$2
  shift 2
  : >"$report"
  (cd "$(dirname "$program")" && exec "$program" "$@") >"$report" 2>>"$work/programs.log" &
  started_pid=$!
  children+=($started_pid)
}

# await_keys PID: waits until the keyboard goes to a window of PID, as a
# window manager may give it a moment after the window is shown (without one,
# the keys go where the pointer is).
await_keys() {
  local window
  [ -n "$wm" ] || return 0
  keys_go_to() {
    window=$(xdotool getwindowfocus 2>/dev/null) && [ "$(xdotool getwindowpid "$window" 2>/dev/null)" = "$1" ]
  }
  await_true 200 keys_go_to "$1"
}

# The frame of window w (its decoration included): "x y width height".
frame_of() {
  xwininfo -id "$1" -frame | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /^ *Width:/{w=$NF} /^ *Height:/{h=$NF} END{print x, y, w, h}'
}

# stop PID: ends a program that start started.
stop() {
  kill "$1" 2>/dev/null
  wait "$1" 2>/dev/null
}
