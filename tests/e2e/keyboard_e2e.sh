#!/bin/bash
# The trainer and the viewer under Xvfb, driven by real key presses (XTest):
# the trainer once on the US and once on the Russian X layout types the answers
# of the course's memo exercise and of a fill-in document with punctuation in
# its answers, presses the check picture and reports its mistake count; the
# viewer on the Russian X layout takes its letter shortcuts.
#   keyboard_e2e.sh QUILLON FOLIOSCOPE MEMO_DOCUMENT PDF_DOCUMENT
set -u
export LC_ALL=C.UTF-8
quillon=$1 folioscope=$2 memo_document=$3 pdf_document=$4

work=$(mktemp -d)
children=()
cleanup() {
  for pid in "${children[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*"
  exit 1
}

# --- the X server: a free display number of its own choosing, kept as it is
# between clients (-noreset), so the layout set by setxkbmap stays.
if ! command -v Xvfb >/dev/null; then
  echo "SKIP: no X server can start here (Xvfb is missing; make deps installs it)"
  exit 77
fi
for tool in xdotool setxkbmap; do
  command -v $tool >/dev/null || fail "$tool is missing (make deps installs it)"
done
Xvfb -displayfd 3 -noreset -nolisten tcp -screen 0 1280x1024x24 3>"$work/display" 2>"$work/xvfb.log" &
children+=($!)
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  sleep 0.05
done
if [ ! -s "$work/display" ]; then
  echo "SKIP: no X server can start here:"
  cat "$work/xvfb.log"
  exit 77
fi
export DISPLAY=":$(cat "$work/display")"
export QT_QPA_PLATFORM=xcb QUILLON_TEST_REPORT=1
unset WAYLAND_DISPLAY

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

# Waits for a line of the program's report that starts with prefix; prints it.
# Patient, as a loaded machine may take long to start a program.
await() {
  local file=$1 prefix=$2 line
  for _ in $(seq 600); do
    line=$(grep -m1 "^$prefix" "$file") && { echo "$line"; return 0; }
    sleep 0.05
  done
  return 1
}

# run_trainer LAYOUT DOCUMENT EXPECTED ANSWER... : types the answers, one per
# field with Tab between them, presses the check picture and compares the count.
run_trainer() {
  local layout=$1 document=$2 expected=$3
  shift 3
  local report="$work/trainer.$layout.$RANDOM"
  : >"$report"
  (cd "$(dirname "$quillon")" && exec "$quillon" "$document") >"$report" 2>>"$work/programs.log" &
  local pid=$!
  children+=($pid)
  local check
  check=$(await "$report" "check ") || fail "the trainer did not show $document ($(cat "$work/programs.log"))"
  read -r _ cx cy <<<"$check"
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
  kill "$pid"
  wait "$pid" 2>/dev/null
  echo "$layout: typed [$(IFS='|'; echo "${typed[*]}")] -> ${result#mistakes }"
  [ "${result#mistakes }" = "$expected" ] || fail "$layout, $(basename "$document"): $expected mistakes expected, got ${result#mistakes }"
}

# A fill-in document of our own, with punctuation in its answers and a Cyrillic name.
fill_in="$work/Знаки препинания.cml"
printf '%s' 'Знаки препинания<~~~>Впишите ответы.<~~~>1. <edit answer="т.е."><br>2. <edit answer="да, нет"><br>3. <edit answer="Что?"><br>4. <edit answer="1:2;3!">' |
  iconv -f UTF-8 -t CP1251 >"$fill_in" || fail "cannot write the fill-in document"

# Right answers on both layouts; wrong ones once per document, on one layout each.
setxkbmap us || fail "setxkbmap us"
run_trainer us "$memo_document" 0 "Друг познаётся в беде." "Делу время, потехе час." "Семь раз отмерь, один раз отрежь."
run_trainer us "$fill_in" 0 "т.е." "да, нет" "Что?" "1:2;3!"
run_trainer us "$memo_document" 2 "Друг познаётся в беде." "Делу время потехе час." "Семь раз отмерь, один раз отрежь,"
setxkbmap ru || fail "setxkbmap ru"
run_trainer ru "$memo_document" 0 "Друг познаётся в беде." "Делу время, потехе час." "Семь раз отмерь, один раз отрежь."
run_trainer ru "$fill_in" 0 "т.е." "да, нет" "Что?" "1:2;3!"
run_trainer ru "$fill_in" 3 "т.е" "да нет" "Что?" "1;2:3!"

# --- the viewer: its letter shortcuts on the Russian X layout (still set).
pdf="$pdf_document"
report="$work/viewer"
: >"$report"
(cd "$(dirname "$folioscope")" && exec "$folioscope" "$pdf") >"$report" 2>>"$work/programs.log" &
children+=($!)
view=$(await "$report" "view ") || fail "the viewer did not show $pdf ($(cat "$work/programs.log"))"
read -r _ vx vy <<<"$view"
xdotool mousemove "$vx" "$vy"
# F (а), N (т), P (з) on the Russian layout: fit text width, 100 %, fit page.
for key in "41 miFitText zoom-mode 4" "57 miZoom100 zoom-mode 0" "33 miFitPage zoom-mode 1"; do
  read -r code expected <<<"$key"
  xdotool key "$code"
  line=$(await "$report" "${expected% zoom-mode*} ") || fail "the viewer took no shortcut for keycode $code on the Russian layout"
  case "$line" in "$expected"*) echo "ru: keycode $code -> $line" ;; *) fail "keycode $code: '$expected' expected, got '$line'" ;; esac
done
echo "PASS"
