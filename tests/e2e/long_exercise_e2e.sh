#!/bin/bash
# The trainer under Xvfb on a long exercise (thousands of words, fill-in
# letters, comma places, check boxes, word corrections) whose file name is
# Cyrillic: real key presses (XTest) answer the places of its first part by
# Tab, the space bar and letters, a few of them wrong, the mouse wheel scrolls
# the page, the check picture is pressed, and the mistake count the trainer
# reports must be what the answers left.
#   long_exercise_e2e.sh QUILLON LONG_EXERCISE WORDS PLACES
quillon=$1 long_exercise=$2 words=$3 answered_places=$4
source "$(dirname "$0")/xsession.sh"

document="$work/Длинное упражнение.cml"
"$long_exercise" "$document" "$words" >"$work/places" || fail "cannot write the long exercise"
read -r _ untouched <"$work/places"
echo "$(basename "$document"): $words words, $(($(wc -l <"$work/places") - 1)) places, $untouched mistakes untouched"

# The keys for the first places, in Tab order: a field's letters, the space bar
# where a comma or a tick is wanted. Every seventh wanted answer is left
# wrong: a wrong letter, no comma, no tick.
keys=() fixed=0 wanted=0
while read -r kind answer; do
  if [ -n "$answer" ]; then
    wanted=$((wanted + 1))
    if [ $((wanted % 7)) -eq 0 ]; then
      [ "$kind" = field ] && keys+=($(keys_for "ъ"))
    elif [ "$kind" = field ]; then
      keys+=($(keys_for "$answer"))
      fixed=$((fixed + 1))
    else
      keys+=($(keys_for " "))
      fixed=$((fixed + 1))
    fi
  fi
  keys+=($TAB)
done < <(sed -n "2,$((answered_places + 1))p" "$work/places")
expected=$((untouched - fixed))

setxkbmap us || fail "setxkbmap us"
report="$work/trainer"
start "$quillon" "$report" "$document"
check=$(await "$report" "check ") || fail "the trainer did not show the long exercise ($(cat "$work/programs.log"))"
read -r _ cx cy <<<"$check"
await_keys "$started_pid" || fail "the trainer's window does not get the keys"
xdotool mousemove 640 512
xdotool key --delay 4 "${keys[@]}"
# Down the page and back part of the way with the wheel, as a reader checks
# the work, then the check picture.
xdotool click --repeat 15 --delay 20 5 click --repeat 5 --delay 20 4
xdotool mousemove "$cx" "$cy" click 1
result=$(await "$report" "mistakes ") || fail "no mistake count after the check"
echo "answered $answered_places places ($fixed put right) -> ${result#mistakes }"
[ "${result#mistakes }" = "$expected" ] || fail "$expected mistakes expected, got ${result#mistakes }"
echo "PASS"
