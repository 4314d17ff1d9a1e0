# Shared by the X11 end-to-end tests (sourced): a private Xvfb display and the steps of a
# case: start a program and find its dialog, find a button, read the CLIPBOARD, take a
# screenshot, check how the program ended. The caller sets $out (the output folder) and
# `set -euo pipefail`; a missing tool exits 77 (skipped).

missing=()
for tool in Xvfb xdotool xclip xwd xwdtopnm pnmtopng timeout; do
  command -v "$tool" >/dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "skipped: missing ${missing[*]} (scripts/install-deps installs them)"
  exit 77
fi

mkdir -p "$out"
rm -f "$out"/*.answer "$out"/*.log "$out/display"
title='^tarncore Debug Event$'
failures=0

# Xvfb picks a free display number and writes it to descriptor 3.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$out/display" 2>"$out/xvfb.log" &
xvfb=$!
ask=""
cleanup() {
  [ -n "$ask" ] && kill "$ask" 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do
  [ -s "$out/display" ] && break
  sleep 0.1
done
[ -s "$out/display" ] || { echo "Xvfb did not start:"; cat "$out/xvfb.log"; exit 1; }
export DISPLAY=":$(cat "$out/display")"
echo "display $DISPLAY"

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# start <case> <program> [<argument>...]: runs the program and waits until its dialog is
# mapped; sets $window.
start() {
  local name="$1"
  shift
  "$@" >"$out/$name.answer" 2>"$out/$name.log" </dev/null &
  ask=$!
  window=$(timeout 10 xdotool search --sync --onlyvisible --name "$title" | head -n1) || true
  [ -n "$window" ] || { fail "$name: no dialog appeared"; return 1; }
}

# The child window of the dialog that is the button labelled $1.
button() {
  xdotool search --name "^$1\$" | head -n1
}

# Clicks the button labelled $1.
click() {
  xdotool mousemove --window "$(button "$1")" 12 8 click 1
}

# Writes the dialog's picture to $1 (PNG).
screenshot() {
  sleep 0.5  # let it draw
  xwd -silent -id "$window" | xwdtopnm 2>/dev/null | pnmtopng >"$1"
  echo "screenshot $1"
}

# Writes the CLIPBOARD's text to $1, waiting a little for an owner to serve it.
read_clipboard() {
  for _ in $(seq 50); do
    timeout 5 xclip -o -selection clipboard -t UTF8_STRING >"$1" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}

# The dialog takes the keyboard focus itself, window manager or not.
wait_for_focus() {
  for _ in $(seq 50); do
    [ "$(xdotool getwindowfocus 2>/dev/null)" = "$window" ] && return 0
    sleep 0.1
  done
  fail "$1: the dialog never had the keyboard focus"
}

# expect_end <case> <output> [<status>]: waits for the program to end and checks what it
# printed and its exit status (0 unless given).
expect_end() {
  local name="$1" expected="$2" want="${3:-0}"
  for _ in $(seq 100); do
    kill -0 "$ask" 2>/dev/null || break
    sleep 0.1
  done
  if kill -0 "$ask" 2>/dev/null; then
    fail "$name: the dialog did not close"
    kill "$ask"
  fi
  local status=0 got
  wait "$ask" || status=$?
  ask=""
  got=$(cat "$out/$name.answer")
  [ "$got" = "$expected" ] && echo "ok: $name: $expected" || fail "$name: expected '$expected', got '$got'"
  # A sanitizer's report ends the program with a failure status.
  [ "$status" -eq "$want" ] || fail "$name: ended with status $status, not $want: $(cat "$out/$name.log")"
}

# Ends the test: its status is that of its cases.
finish() {
  [ "$failures" -eq 0 ] || { echo "$failures failure(s)"; exit 1; }
  echo "all passed"
}
