#!/usr/bin/env bash
# The end-to-end driver's screenshots are whole pictures: the game writes one
# aside (screenshot_NNNN.png.tmpXXXXXXXX) and renames it when complete, and
# shot() must wait for that name, whatever the load on the machine. Played
# against a stand-in for xdotool whose F12 writes a picture slowly, as the
# game does under load; the game itself is not needed.
set -u
DATA=$2
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
USERDIR=$WORK/user SHOTS=$WORK/shots TOOLS=/nonexistent
mkdir -p "$USERDIR/_screenshots" "$SHOTS" "$WORK/bin"
PICTURE=$DATA/images/$(ls "$DATA/images" | grep -m1 '\.png$')
[ -s "$PICTURE" ] || { echo "FAIL: no picture in $DATA/images"; exit 1; }

# F12: half the picture under the temporary name at once, the rest and the
# rename a second later.
cat > "$WORK/bin/xdotool" << EOF
#!/usr/bin/env bash
[ "\$*" = "key F12" ] || exit 0
dir="$USERDIR/_screenshots" n=1
while [ -e "\$dir/\$(printf 'screenshot_%04d.png' \$n)" ]; do n=\$((n + 1)); done
name=\$(printf 'screenshot_%04d.png' \$n) tmp=\$(printf 'screenshot_%04d.png.tmp%08x' \$n \$RANDOM)
size=\$(stat -c %s "$PICTURE")
( head -c \$((size / 2)) "$PICTURE" > "\$dir/\$tmp"
  sleep 1
  tail -c +\$((size / 2 + 1)) "$PICTURE" >> "\$dir/\$tmp"
  mv "\$dir/\$tmp" "\$dir/\$name" ) > /dev/null 2>&1 &
EOF
chmod +x "$WORK/bin/xdotool"
export PATH="$WORK/bin:$PATH"
. "$(dirname "$0")/lib/driver.sh"

for name in first second; do
  shot "$name"
  cmp -s "$SHOT" "$PICTURE" || fail "$name: $SHOT is not the whole picture ($(stat -c %s "$SHOT") of $(stat -c %s "$PICTURE") bytes)"
done
sleep 1.2
left=$(ls "$USERDIR/_screenshots")
[ -z "$left" ] || fail "left in _screenshots: $left"
echo "ok"
