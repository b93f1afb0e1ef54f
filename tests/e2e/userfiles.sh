#!/usr/bin/env bash
# The real game against a user folder and a desktop it does not control:
# relative folder variables, user files replaced by a FIFO or a link to
# /dev/zero, SIGHUP, a file-size limit, and a FATAL ERROR when the desktop's
# message box cannot be shown.
set -u
GAME=$1
DATA=$2
TMP=$(mktemp -d)
pid=
# A step that fails ends the game it started: left running, it would hold
# the test's output open and keep the test runner waiting.
trap '[ -n "$pid" ] && kill -KILL "$pid" 2> /dev/null; rm -rf "$TMP"' EXIT
fail() { echo "FAIL: $*"; exit 1; }
# Runs the game without a display; sets rc and out.
headless() { out=$(cd "$TMP" && env -u DISPLAY -u WAYLAND_DISPLAY SDL_VIDEODRIVER=x11 timeout 20 "$@" 2>&1 < /dev/null); rc=$?; }

# Relative folder variables: the folder is fixed before -changedir moves away,
# so the game gets as far as its window (there is no display here).
headless env QUILTRO7_USER_DATA=rel "$GAME" -changedir "$DATA"
grep -q "Cannot open the game window" <<<"$out" && [ -e "$TMP/rel/instance.lock" ] ||
  fail "relative QUILTRO7_USER_DATA: rc=$rc $out"
headless env -u QUILTRO7_USER_DATA HOME="$TMP/home" XDG_DATA_HOME=xdg-rel "$GAME" -changedir "$DATA"
grep -q "Cannot open the game window" <<<"$out" &&
  [ -e "$TMP/home/.local/share/Quiltro/Grand Quiltro 7/instance.lock" ] ||
  fail "relative XDG_DATA_HOME is not ignored: rc=$rc $out"

# No display at all: the text on stderr and a prompt end, never a wait.
export QUILTRO7_USER_DATA=$TMP/user
headless env QUILTRO7_MESSAGE_BOX=own "$GAME" -changedir /nonexistent
[ $rc -eq 1 ] && grep -q "FATAL ERROR: Cannot open the data folder" <<<"$out" || fail "no display: rc=$rc $out"
headless env DISPLAY=:1999 QUILTRO7_MESSAGE_BOX=own "$GAME" -changedir /nonexistent
[ $rc -eq 1 ] || fail "unreachable display: rc=$rc $out"

if [ -z "${DISPLAY:-}" ]; then echo "no display: window part skipped"; exit 0; fi

# Waits up to 10 s for the process to end; sets rc (124 when it did not).
finish() { for _ in $(seq 1 100); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
           if kill -0 "$1" 2>/dev/null; then kill -KILL "$1"; wait "$1"; rc=124; else wait "$1"; rc=$?; fi; pid=; }

# The desktop's box fails: our own window shows the message until a key.
if command -v xdotool > /dev/null; then
  QUILTRO7_MESSAGE_BOX=own "$GAME" -changedir /nonexistent 2> "$TMP/box.err" &
  pid=$!
  # Up to 20 s: a sanitizer build on a busy machine is slow to get there.
  for _ in $(seq 1 200); do xdotool search --onlyvisible --name '^FATAL ERROR$' > /dev/null 2>&1 && break; sleep 0.1; done
  xdotool search --onlyvisible --name '^FATAL ERROR$' > /dev/null 2>&1 || fail "no FATAL ERROR window"
  sleep 0.5
  kill -0 $pid 2>/dev/null || fail "the FATAL ERROR window did not wait"
  # Focus it first: with no window manager the key goes where the focus is.
  wid=$(xdotool search --onlyvisible --name '^FATAL ERROR$' 2>/dev/null | head -1)
  [ -n "$wid" ] && xdotool windowfocus --sync "$wid" 2>/dev/null
  xdotool key space
  finish $pid
  [ $rc -eq 1 ] || fail "FATAL ERROR window: rc=$rc"
  grep -q "Cannot open the data folder" "$TMP/box.err" || fail "FATAL ERROR text not on stderr"
fi

# settings.xml a link to /dev/zero, profiles.xml a FIFO: the game starts at
# once, keeps the one aside, reports the other, and SIGHUP runs the shutdown.
mkdir -p "$TMP/files"
ln -s /dev/zero "$TMP/files/settings.xml"
mkfifo "$TMP/files/profiles.xml"
QUILTRO7_USER_DATA=$TMP/files "$GAME" -changedir "$DATA" 2> "$TMP/files.err" &
pid=$!
sleep 3
kill -0 $pid 2>/dev/null || fail "the game did not start on odd user files: $(cat "$TMP/files.err")"
kill -HUP $pid
finish $pid
[ $rc -eq 0 ] || fail "SIGHUP: rc=$rc"
[ -L "$TMP/files/settings.xml.damaged-1" ] || fail "settings.xml link not kept aside"
[ ! -L "$TMP/files/settings.xml" ] && grep -q '<settings ' "$TMP/files/settings.xml" ||
  fail "settings.xml not saved after SIGHUP"
[ -p "$TMP/files/profiles.xml" ] || fail "the profiles.xml FIFO was moved or replaced"
grep -q "profiles.xml cannot be read" "$TMP/files.err" || fail "profiles.xml FIFO not reported"

# A file-size limit: the save fails and is reported; the game is not killed.
mkdir -p "$TMP/limit"
# (stderr through a pipe: a file would be under the limit too)
(ulimit -f 0; QUILTRO7_USER_DATA=$TMP/limit exec "$GAME" -changedir "$DATA") 2> >(cat > "$TMP/limit.err") &
pid=$!
sleep 3
kill -TERM $pid
finish $pid
sleep 0.2
[ $rc -eq 0 ] || fail "file-size limit: rc=$rc $(cat "$TMP/limit.err")"
grep -q "settings.xml was not saved" "$TMP/limit.err" || fail "failed save not reported"
echo "ok"
