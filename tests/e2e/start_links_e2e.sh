#!/bin/bash
# A link in a document never starts a program: the real viewer and pdf
# plug-in under X, with a stand-in for the desktop's opener (xdg-open) on PATH
# that records what it is given. Programs, scripts, launchers and installers
# are refused with a message naming them; a text file and a name in cp1251
# bytes reach the opener unchanged, a mail address without its attachment.
# Usage: start_links_e2e.sh <link_opener> <plug-in folder>
. "$(dirname "$0")/xsession.sh"
opener=$1 plugins=$2

mkdir -p "$work/bin" "$work/docs"
cat >"$work/bin/xdg-open" <<SCRIPT
#!/bin/sh
printf '%s\n' "\$@" >>"$work/opened"
SCRIPT
chmod +x "$work/bin/xdg-open"
export PATH="$work/bin:$PATH"
# Qt asks xdg-open only where it knows no desktop of its own.
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID BROWSER

docs=$work/docs
cp1251=$(printf '\xcf\xf0\xe8\xec\xe5\xf0.txt')  # "Пример.txt" in cp1251 bytes
printf 'notes' >"$docs/notes.txt"
printf 'notes' >"$docs/$cp1251"
cp "$(type -P true)" "$docs/program" && chmod -x "$docs/program"
printf '#!/bin/sh\nid\n' >"$docs/script.txt"
printf 'text\n' >"$docs/runs.txt" && chmod +x "$docs/runs.txt"
printf '[Desktop Entry]\nType=Application\nExec=id\n' >"$docs/app.desktop"
printf 'MZ\220\000' >"$docs/setup.exe"
ln -s "$(type -P id)" "$docs/id link.txt"
mail='mailto:someone@example.org?subject=Hi&attach=/etc/passwd'
refused=(program script.txt runs.txt app.desktop setup.exe "id link.txt")

"$opener" "$plugins" "$docs" notes.txt "$cp1251" "${refused[@]}" "$mail" >"$work/out" 2>"$work/err" ||
  { cat "$work/out" "$work/err"; fail "the viewer could not run the links"; }
cat "$work/out"
for name in "${refused[@]}"; do
  grep -aqF "refused $name: " "$work/out" || fail "$name was not refused"
  grep -aF "refused $name: " "$work/out" | grep -qF "Ссылка не открыта: файл $docs/$name - " ||
    fail "the refusal does not say that $docs/$name is a program"
done
for name in notes.txt "$cp1251" "$mail"; do
  grep -aqxF "handed $name" "$work/out" || fail "$name was not handed on"
done

# The openers run detached, each started before the viewer went on: wait for
# their three records, then until none of them runs, so a stray one has written too.
three_records() { [ -f "$work/opened" ] && [ "$(wc -l <"$work/opened")" -ge 3 ]; }
openers_ended() { ! pgrep -f "$work/bin/xdg-open" >/dev/null; }
await_true 100 three_records
await_true 100 openers_ended || fail "the opener stand-ins do not end"
expected="file://$docs/notes.txt
file://$docs/%CF%F0%E8%EC%E5%F0.txt
mailto:someone@example.org?subject=Hi"
actual=$(sort "$work/opened" 2>/dev/null)
[ "$actual" = "$(sort <<<"$expected")" ] || fail "the opener was given:
$actual
instead of:
$expected"
echo "PASS: only the text files and the mail address reached the opener"
