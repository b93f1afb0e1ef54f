#!/usr/bin/env bash
# close_notice takes only a notice for a notice. A bare board of 10 x 10 or
# more is as light as the notice's paper where the driver looks, and closing
# it would click a cell. Played against a stand-in for xdotool whose F12
# gives a picture of a screen without a notice (the documentation's own
# screenshots); every click is recorded. The game itself is not needed: the
# scripts that meet real notices (playthrough, savefaults) close them.
set -u
GAME=$1
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
USERDIR=$WORK/user SHOTS=$WORK/shots TOOLS=$(dirname "$GAME")/tools
PICTURES=$(cd "$(dirname "$0")/../../docs/screenshots" && pwd)
mkdir -p "$USERDIR/_screenshots" "$SHOTS" "$WORK/bin"
[ -x "$TOOLS/shotprobe" ] || { echo "FAIL: no $TOOLS/shotprobe"; exit 1; }

# F12 copies the picture named in $WORK/showing; the pointer's moves and
# clicks are written to $WORK/input.
cat > "$WORK/bin/xdotool" << EOF
#!/usr/bin/env bash
echo "\$*" >> "$WORK/input"
[ "\$*" = "key F12" ] || exit 0
dir="$USERDIR/_screenshots" n=1
while [ -e "\$dir/\$(printf 'screenshot_%04d.png' \$n)" ]; do n=\$((n + 1)); done
cp "\$(cat "$WORK/showing")" "\$dir/\$(printf 'screenshot_%04d.png' \$n)"
EOF
chmod +x "$WORK/bin/xdotool"
export PATH="$WORK/bin:$PATH"
WID=1
. "$(dirname "$0")/lib/driver.sh"

for name in board-10 board-15 board-20 board-25 board-5 puzzle-selection main-menu; do
  [ -s "$PICTURES/$name.png" ] || fail "no picture $PICTURES/$name.png"
  echo "$PICTURES/$name.png" > "$WORK/showing"
  : > "$WORK/input"
  close_notice "$name" 1 && fail "$name: taken for a notice and closed"
  grep -Eq '^(click|mousedown)' "$WORK/input" && fail "$name: clicked ($(grep -E '^(mousemove|click)' "$WORK/input" | tr '\n' ' '))"
done
echo "ok"
