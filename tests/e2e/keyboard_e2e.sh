#!/bin/bash
# The trainer and the viewer under Xvfb, driven by real key presses (XTest):
# the trainer once on the US and once on the Russian X layout types the answers
# of the course's memo exercise and of a fill-in document with punctuation in
# its answers, presses the check picture and reports its mistake count; the
# viewer on the Russian X layout opens a PDF with a Cyrillic name through the
# real plug-ins, shows its page, and takes its letter shortcuts.
#   keyboard_e2e.sh QUILLON FOLIOSCOPE MEMO_DOCUMENT PDF_DOCUMENT SCREEN_PROBE
quillon=$1 folioscope=$2 memo_document=$3 pdf_document=$4 screen_probe=$5
source "$(dirname "$0")/xsession.sh"

# run_trainer LAYOUT DOCUMENT EXPECTED ANSWER... : types the answers, one per
# field with Tab between them, presses the check picture and compares the count.
run_trainer() {
  local layout=$1 document=$2 expected=$3
  shift 3
  local report="$work/trainer.$layout.$RANDOM"
  start "$quillon" "$report" "$document"
  local check
  check=$(await "$report" "check ") || fail "the trainer did not show $document ($(cat "$work/programs.log"))"
  read -r _ cx cy <<<"$check"
  await_keys "$started_pid" || fail "the trainer's window does not get the keys"
  xdotool mousemove 640 512
  local answer typed=()
  for answer in "$@"; do
    # shellcheck disable=SC2046
    xdotool key --delay 4 $(keys_for "$answer") $TAB
    typed+=("$answer")
  done
  xdotool mousemove "$cx" "$cy" click 1
  local result
  result=$(await "$report" "mistakes ") || fail "no mistake count after the check ($layout)"
  stop "$started_pid"
  echo "$layout: typed [$(IFS='|'; echo "${typed[*]}")] -> ${result#mistakes }"
  [ "${result#mistakes }" = "$expected" ] || fail "$layout, $(basename "$document"): $expected mistakes expected, got ${result#mistakes }"
}

# A fill-in document of our own, with punctuation in its answers and a Cyrillic name.
fill_in="$work/Знаки препинания.cml"
printf '%s' 'Знаки препинания<~~~>Впишите ответы.<~~~>1. <edit answer="т.е."><br>2. <edit answer="да, нет"><br>3. <edit answer="Что?"><br>4. <edit answer="1:2;3!">' |
  iconv -f UTF-8 -t CP1251 >"$fill_in" || fail "cannot write the fill-in document"

# Right answers on both layouts; wrong ones once per document, on one layout each.
setxkbmap us || fail "setxkbmap us"
run_trainer us "$memo_document" 0 "Друг познаётся в беде." "Где труд, там и счастье." "Не зная броду, не суйся в воду."
run_trainer us "$fill_in" 0 "т.е." "да, нет" "Что?" "1:2;3!"
run_trainer us "$memo_document" 2 "Друг познаётся в беде." "Где труд там и счастье." "Не зная броду, не суйся в воду,"
setxkbmap ru || fail "setxkbmap ru"
run_trainer ru "$memo_document" 0 "Друг познаётся в беде." "Где труд, там и счастье." "Не зная броду, не суйся в воду."
run_trainer ru "$fill_in" 0 "т.е." "да, нет" "Что?" "1:2;3!"
run_trainer ru "$fill_in" 3 "т.е" "да нет" "Что?" "1;2:3!"

# --- the viewer, on the Russian X layout (still set): the sample PDF under a
# Cyrillic name with a space, opened from the command line by the real plug-in.
pdf="$work/Пример документа.pdf"
cp "$pdf_document" "$pdf" || fail "cannot copy the sample PDF"
report="$work/viewer"
start "$folioscope" "$report" "$pdf"
view=$(await "$report" "view ") || fail "the viewer did not show $pdf ($(cat "$work/programs.log"))"
read -r _ vx vy <<<"$view"
await_keys "$started_pid" || fail "the viewer's window does not get the keys"

# The page is on screen: the viewer's window is mostly paper, with ink on it,
# where a refused file leaves only a message box. The first paint may come a
# little after the window.
probe() {
  local picture=$1 pid=$2 window X Y WIDTH HEIGHT paper ink
  page_shown() {
    window=$(xdotool search --onlyvisible --pid "$pid" | head -1)
    [ -n "$window" ] || return 1
    eval "$(xdotool getwindowgeometry --shell "$window")"
    read -r _ paper _ ink _ < <("$screen_probe" "$picture" "$X" "$Y" "$WIDTH" "$HEIGHT") || fail "no picture of the screen"
    [ "$paper" -ge $((WIDTH * HEIGHT / 2)) ] && [ "$ink" -ge 2000 ]
  }
  await_true 100 page_shown && { echo "$paper $ink of ${WIDTH}x$HEIGHT"; return 0; }
  echo "${paper:-no} ${ink:-window}"
  return 1
}
shown=$(probe "$work/viewer.png" "$started_pid") ||
  fail "the viewer shows no page of $pdf (paper and ink pixels: $shown; $(cat "$work/programs.log"))"
echo "ru: $(basename "$pdf") on screen, paper and ink pixels: $shown"

xdotool mousemove "$vx" "$vy"
# F (а), N (т), P (з) on the Russian layout: fit text width, 100 %, fit page.
for key in "41 miFitText zoom-mode 4" "57 miZoom100 zoom-mode 0" "33 miFitPage zoom-mode 1"; do
  read -r code expected <<<"$key"
  xdotool key "$code"
  line=$(await "$report" "${expected% zoom-mode*} ") || fail "the viewer took no shortcut for keycode $code on the Russian layout"
  case "$line" in "$expected"*) echo "ru: keycode $code -> $line" ;; *) fail "keycode $code: '$expected' expected, got '$line'" ;; esac
done
echo "PASS"
