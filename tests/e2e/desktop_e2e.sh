#!/bin/bash
# Both programs' windows as a desktop shows them, under the window manager
# that E2E_WM names (or none). The trainer: its window covers the whole screen
# (a panel included); at a check the overlay darkens the screen above it and
# the mistakes dialog stands above the overlay, its soft edge over the dark
# picture, both out of the taskbar; after "Закрыть" both are gone, the screen
# is as before and typing goes on in the answer field; minimising it and
# restoring it from the window manager gives the whole screen back, twice.
# The viewer: full-screen round trips give back the frame's exact place and
# size; the window keeps its least size; the print dialog and the popup menu
# open over it. Stacking comes from the window manager's own list, darkness
# from pictures of the screen.
#   desktop_e2e.sh QUILLON FOLIOSCOPE PDF_DOCUMENT SCREEN_PROBE
quillon=$1 folioscope=$2 pdf_document=$3 screen_probe=$4
source "$(dirname "$0")/xsession.sh"
for tool in xprop xwininfo; do
  command -v $tool >/dev/null || fail "$tool is missing (make deps installs x11-utils)"
done
setxkbmap us || fail "setxkbmap us"

# The title of a window.
title() {
  xprop -id "$1" WM_NAME 2>/dev/null | sed -n 's/^WM_NAME([A-Z_]*) = "\(.*\)"$/\1/p'
}

# The titles of the top-level windows that are shown, bottom to top: the
# window manager's own list where it keeps one, else the X server's order.
stacking() {
  local ids w
  ids=$(xprop -root _NET_CLIENT_LIST_STACKING 2>/dev/null | grep -o '0x[0-9a-f]*')
  if [ -z "$wm" ]; then
    # xwininfo lists the top one first.
    ids=$(xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p' | tac)
  fi
  for w in $ids; do
    xwininfo -id "$w" 2>/dev/null | grep -q 'Map State: IsViewable' || continue
    title "$w"
  done | grep -v '^$' | paste -sd ' '
}

# The title of the window the mouse finds at X Y (a panel has its own): the
# top-level window there, or the first named one inside a window manager's frame.
window_at() {
  local WINDOW X Y SCREEN
  xdotool mousemove "$1" "$2"
  pointer_there() {
    eval "$(xdotool getmouselocation --shell)"
    [ "$X" = "$1" ] && [ "$Y" = "$2" ]
  }
  await_true 20 pointer_there "$1" "$2" || fail "the pointer does not reach $1,$2"
  local name
  name=$(title "$WINDOW")
  [ -n "$name" ] || name=$(xwininfo -id "$WINDOW" -tree 2>/dev/null | sed -n 's/^ *0x[0-9a-f]* "\(.*\)": .*/\1/p' | head -1)
  echo "$name"
}

# Waits until the named window of pid is shown (or gone, with "gone"); prints its id.
await_window() {
  local pid=$1 name=$2 gone=${3:-} w
  shown() {
    w=$(xdotool search --all --onlyvisible --pid "$pid" --name "^$name\$" 2>/dev/null | head -1)
    if [ -n "$gone" ]; then [ -z "$w" ]; else [ -n "$w" ]; fi
  }
  await_true 100 shown || return 1
  [ -n "$gone" ] || echo "$w"
}

mean_of() { # picture x y width height [earlier]: the probe's line
  "$screen_probe" "$@" || fail "no picture of the screen"
}

# Whether the trainer is what the mouse finds at the corners and the middles
# of the top and bottom edges (a panel has its own window).
trainer_everywhere() {
  local where x y
  for where in "1 1" "1278 1" "1 1022" "1278 1022" "640 1020" "640 3"; do
    read -r x y <<<"$where"
    [ "$(window_at "$x" "$y")" = Quillon ] || { uncovered="at $x,$y the screen shows '$(window_at "$x" "$y")'"; return 1; }
  done
}

# Waits until the trainer covers the screen, as a window manager may take a
# moment to place it.
covers_screen() {
  await_true 40 trainer_everywhere || fail "$1: $uncovered, not the trainer"
}

# Waits until the screen holds still after a change: two pictures of it in a
# row are alike (but for a blinking caret), and the first differs from
# earlier (a picture before the change) in more than 20 pixels; keeps it as picture.
await_screen() {
  local picture=$1 earlier=$2 differ
  screen_changed() {
    read -r _ _ _ _ _ _ _ differ <<<"$(mean_of "$picture" 0 0 1280 1024 "$earlier")"
    [ "$differ" -gt 20 ] || return 1
    read -r _ _ _ _ _ _ _ differ <<<"$(mean_of "$work/again.png" 0 0 1280 1024 "$picture")"
    [ "$differ" -le 20 ]
  }
  await_true 40 screen_changed || fail "the screen did not settle after a change ($differ pixels)"
}

# ------------------------------------------------------------------ trainer
document="$work/Два поля.cml"
printf '%s' 'Два поля<~~~>Впишите буквы.<~~~>1. <edit answer="а"><br>2. <edit answer="б">' |
  iconv -f UTF-8 -t CP1251 >"$document" || fail "cannot write the document"
report="$work/trainer"
start "$quillon" "$report" "$document"
check=$(await "$report" "check ") || fail "the trainer did not show $document ($(cat "$work/programs.log"))"
read -r _ cx cy <<<"$check"
read -r _ mx my <<<"$(await "$report" "minimize ")"
trainer=$(await_window "$started_pid" Quillon) || fail "no trainer window"
await_keys "$started_pid" || fail "the trainer's window does not get the keys"
covers_screen "at start"
echo "trainer covers the screen; stacking: $(stacking)"

# The first field right (а), the second one empty, the focus in it.
mean_of "$work/start.png" 0 0 1280 1024 >/dev/null
xdotool mousemove 640 512 key 41 $TAB
await_screen "$work/before.png" "$work/start.png"
read -r _ _ _ _ _ before_left <<<"$(mean_of "$work/left.before.png" 0 0 100 1024)"
read -r _ _ _ _ _ before_bottom <<<"$(mean_of "$work/bottom.before.png" 0 992 1280 32)"
xdotool mousemove "$cx" "$cy" click 1
[ "$(await "$report" "mistakes ")" = "mistakes 1" ] || fail "one mistake expected at the first check"
dialog=$(await_window "$started_pid" DialogForm) || fail "no mistakes dialog"
overlay=$(await_window "$started_pid" FadeForm) || fail "no darkening overlay"
# The fade reaches its end in half a second, and darkens the whole screen:
# the strip at the left, and the strip at the bottom where a panel may be.
darkened() {
  read -r _ _ _ _ _ left <<<"$(mean_of "$work/left.dark.png" 0 0 100 1024)"
  read -r _ _ _ _ _ bottom <<<"$(mean_of "$work/bottom.dark.png" 0 992 1280 32)"
  [ $((left * 10)) -le $((before_left * 6)) ] && [ $((bottom * 10)) -le $((before_bottom * 6)) ]
}
await_true 40 darkened
order=$(stacking)
echo "at the check: stacking [$order], grey of the left strip $before_left -> $left, of the bottom strip $before_bottom -> $bottom"
case "$order" in *"Quillon FadeForm DialogForm") ;; *) fail "Quillon, FadeForm, DialogForm expected at the top of the stacking, got [$order]" ;; esac
[ $((left * 10)) -le $((before_left * 6)) ] || fail "the screen is not darkened (grey $before_left -> $left)"
[ $((bottom * 10)) -le $((before_bottom * 6)) ] ||
  fail "the bottom of the screen is not darkened (grey $before_bottom -> $bottom): a panel shows over the trainer"
for w in "$overlay" "$dialog"; do
  [ "$(xprop -id "$w" WM_TRANSIENT_FOR | grep -c 'window id')" = 1 ] || fail "$(title "$w") has no owner window"
  if [ -n "$wm" ]; then
    xprop -id "$w" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR ||
      fail "$wm would list $(title "$w") in its taskbar: $(xprop -id "$w" _NET_WM_STATE)"
  fi
done
# The dialog's corner lies outside its rounded outline: there the dark
# overlay shows, as just left of the dialog.
eval "$(xdotool getwindowgeometry --shell "$dialog")"
dx=$X dy=$Y
read -r _ _ _ _ _ inside <<<"$(mean_of "$work/corner.png" "$dx" "$dy" 2 2)"
read -r _ _ _ _ _ outside <<<"$(mean_of "$work/beside.png" $((dx - 6)) "$dy" 2 2)"
echo "dialog corner grey $inside, beside it $outside"
[ $((inside - outside)) -le 12 ] && [ $((outside - inside)) -le 12 ] ||
  fail "the dialog's edge is not blended over the darkened screen (corner $inside, beside $outside)"

xdotool mousemove $((dx + 91)) $((dy + 124)) click 1
await_window "$started_pid" DialogForm gone || fail "the dialog stays after Закрыть"
await_window "$started_pid" FadeForm gone || fail "the overlay stays after Закрыть"
# The screen comes back as before the check but for the check's marks and the caret.
as_before() {
  read -r _ _ _ _ _ _ _ differ <<<"$(mean_of "$work/after.png" 0 0 1280 1024 "$work/before.png")"
  [ "$differ" -le 3000 ]
}
await_true 40 as_before || fail "$differ pixels differ from the screen before the check"
echo "after Закрыть: $differ pixels differ from before the check; stacking [$(stacking)]"
# Typing goes on in the second field: б makes the answers right.
xdotool mousemove 640 512 key 59
xdotool mousemove "$cx" "$cy" click 1
[ "$(await "$report" "mistakes " 3)" = "mistakes 0" ] || fail "the key after Закрыть did not reach the answer field"
dialog=$(await_window "$started_pid" DialogForm) || fail "no dialog at the second check"
await_true 40 darkened || fail "the screen is not darkened at the second check"
eval "$(xdotool getwindowgeometry --shell "$dialog")"
xdotool mousemove $((X + 91)) $((Y + 124)) click 1
await_window "$started_pid" DialogForm gone || fail "the second dialog stays"
echo "focus came back to the answer field"

# Minimised from its own bar, restored by the window manager: twice.
in_state() { xprop -id "$trainer" WM_STATE | grep -q "window state: $1"; }
if [ -n "$wm" ]; then
  for round in 1 2; do
    xdotool mousemove "$mx" "$my" click 1
    await_true 100 in_state Iconic || fail "round $round: the trainer did not minimise"
    xdotool windowactivate "$trainer" 2>/dev/null
    await_true 100 in_state Normal || fail "round $round: the trainer did not come back"
    covers_screen "restored ($round)"
  done
  echo "minimised and restored twice: the whole screen again"
fi
stop "$started_pid"

# ------------------------------------------------------------------ viewer
report="$work/viewer"
start "$folioscope" "$report" "$pdf_document"
await "$report" "view " >/dev/null || fail "the viewer did not show $pdf_document ($(cat "$work/programs.log"))"
viewer=$(xdotool search --onlyvisible --pid "$started_pid" | head -1)
[ -n "$viewer" ] || fail "no viewer window"
# Waits until the viewer's frame differs from earlier and holds still (the
# window manager has framed it, where there is one); sets frame.
await_frame() {
  local earlier=$1 last=""
  frame_moved() {
    [ -z "$wm" ] || xprop -id "$viewer" _NET_FRAME_EXTENTS | grep -q ' = ' || return 1
    frame=$(frame_of "$viewer")
    [ "$frame" != "$earlier" ] && [ "$frame" = "$last" ] && return 0
    last=$frame
    return 1
  }
  await_true 60 frame_moved
}
await_frame "" || fail "the viewer's frame does not settle ($frame)"
first=$frame
echo "viewer frame: $first"
# The user clicks the page first, which the window manager takes as a wish for its keys.
xdotool mousemove 640 512 click 1
frame_is() { [ "$(frame_of "$viewer")" = "$1" ]; }
for round in 1 2 3 4 5; do
  xdotool key F11
  await_true 60 frame_is "0 0 1280 1024" || fail "round $round: full screen is $(frame_of "$viewer")"
  [ "$(window_at 640 1020)" = "$(title "$viewer")" ] || fail "round $round: the full-screen viewer leaves a panel on show"
  xdotool key F11
  await_true 60 frame_is "$first" || fail "round $round: the frame came back as $(frame_of "$viewer"), not $first"
done
echo "5 full-screen round trips: the frame stays $first"

# over WINDOW NAME X Y: the dialog or menu comes to cover the point X Y of the
# viewer (a window manager may place it a moment after it is shown).
over() {
  local X Y WIDTH HEIGHT px=$3 py=$4
  covers_point() {
    eval "$(xdotool getwindowgeometry --shell "$1")"
    [ "$px" -ge "$X" ] && [ "$px" -lt $((X + WIDTH)) ] && [ "$py" -ge "$Y" ] && [ "$py" -lt $((Y + HEIGHT)) ]
  }
  await_true 40 covers_point "$1" || fail "$2 opens away from the viewer, at $X,$Y ${WIDTH}x$HEIGHT"
  echo "$2 at $X,$Y ${WIDTH}x$HEIGHT, over the viewer's point $px,$py"
}
# Waits until a window of the viewer's other than its main one is shown (or
# none is, with "gone"); prints its id.
await_other_window() {
  local gone=${1:-} w
  other_shown() {
    w=$(xdotool search --onlyvisible --pid "$started_pid" | grep -v "^$viewer\$" | head -1)
    if [ -n "$gone" ]; then [ -z "$w" ]; else [ -n "$w" ]; fi
  }
  await_true 100 other_shown || return 1
  [ -n "$gone" ] || echo "$w"
}
read -r fx fy fw fh <<<"$(frame_of "$viewer")"
xdotool mousemove $((fx + fw / 2)) $((fy + fh / 2)) click 3
menu=$(await_other_window) || fail "no popup menu"
over "$menu" "the popup menu" $((fx + fw / 2 + 1)) $((fy + fh / 2 + 1))
xdotool key Escape
await_other_window gone || fail "the popup menu stays after Escape"
xdotool key ctrl+p
printer=$(await_other_window) || fail "no print dialog"
over "$printer" "the print dialog" $((fx + fw / 2)) $((fy + fh / 2))
order=$(stacking)
case "$order" in *"$(title "$printer")") ;; *) fail "the print dialog is not on top: [$order]" ;; esac
xdotool key Escape

# The user drags the frame's bottom-right corner far up and left.
if [ -n "$wm" ]; then
  read -r x y w h <<<"$(frame_of "$viewer")"
  IFS=', ' read -r _ right _ bottom <<<"$(xprop -id "$viewer" _NET_FRAME_EXTENTS | cut -d= -f2)"
  gx=$((x + w + right - 1)) gy=$((y + h + bottom - 1))
  # At a person's pace: both window managers take a press that comes at the
  # instant the pointer reaches the corner, or a move at the instant of the
  # press, as a plain click, and show nothing to wait on in between.
  xdotool mousemove "$gx" "$gy" sleep 0.2 mousedown 1 mousemove $((gx - 200)) $((gy - 300)) sleep 0.1 \
    mousemove $((gx - 500)) $((gy - 700)) sleep 0.2 mouseup 1
  await_frame "$x $y $w $h" || fail "the drag did not resize the window ($frame)"
  read -r _ _ w h <<<"$frame"
  echo "the frame's corner dragged 500x700 up and left: the window is ${w}x$h (at least 237x298)"
  [ "$w" -ge 237 ] && [ "$h" -ge 298 ] || fail "the window shrank below its least size: ${w}x$h"
  [ "$w" -lt 571 ] || fail "the drag did not resize the window (${w}x$h)"
fi
echo "PASS"
