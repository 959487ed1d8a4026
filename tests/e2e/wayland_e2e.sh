#!/bin/bash
# Both programs in a Wayland session (weston's headless back end with
# Xwayland) as a user starts them, with no platform chosen: they go through
# Xwayland by themselves, the trainer's window covering the whole output and
# the viewer showing its page; a platform the user chose still wins.
# (Xwayland's XTest input crashes it without a seat, so nothing is typed.)
#   wayland_e2e.sh QUILLON FOLIOSCOPE DOCUMENT PDF_DOCUMENT
quillon=$1 folioscope=$2 document=$3 pdf_document=$4
E2E_WAYLAND=1
source "$(dirname "$0")/xsession.sh"

# The frame of the first window pid shows on the X server, or nothing.
x_window_of() {
  local pid=$1 w
  shown() { w=$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1) && [ -n "$w" ]; }
  await_true 100 shown && frame_of "$w"
}

report="$work/trainer"
start "$quillon" "$report" "$document"
await "$report" "check " >/dev/null || fail "the trainer did not start under weston ($(cat "$work/programs.log"))"
frame=$(x_window_of "$started_pid") || fail "the trainer's window is not on Xwayland ($(cat "$work/programs.log"))"
echo "trainer through Xwayland: $frame"
[ "$frame" = "0 0 1280 1024" ] || fail "the trainer covers $frame, not the whole output"
stop "$started_pid"

report="$work/viewer"
start "$folioscope" "$report" "$pdf_document"
await "$report" "view " >/dev/null || fail "the viewer did not start under weston ($(cat "$work/programs.log"))"
frame=$(x_window_of "$started_pid") || fail "the viewer's window is not on Xwayland ($(cat "$work/programs.log"))"
echo "viewer through Xwayland: $frame"
stop "$started_pid"

# The user's own choice: the offscreen platform shows nothing on X.
report="$work/offscreen"
export QT_QPA_PLATFORM=offscreen
start "$quillon" "$report" "$document"
unset QT_QPA_PLATFORM
await "$report" "check " >/dev/null || fail "the trainer did not start on the platform the user chose"
# Shown, on X its window would exist by now (mapped or not).
[ -z "$(xdotool search --pid "$started_pid" 2>/dev/null)" ] || fail "QT_QPA_PLATFORM=offscreen was not taken"
echo "QT_QPA_PLATFORM=offscreen kept"
stop "$started_pid"
echo "PASS"
