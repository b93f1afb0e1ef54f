# The start the game-playing runs share: the game and its data from the
# command line, a scratch folder (kept with KEEP=1), the packed data, the
# screenshot folder $SHOTS (the build folder's $SHOTS_NAME unless given), the
# driver and what it knows of our game. Sourced first, with SHOTS_NAME set; a
# run that has more to clean up sets its own trap afterwards.
set -u
GAME=$1
DATADIR=$2
if [ -z "${DISPLAY:-}" ]; then echo "no display: skipped"; exit 0; fi
TOOLS=$(dirname "$GAME")/tools
WORK=$(mktemp -d)
[ -n "${KEEP:-}" ] || trap 'rm -rf "$WORK"' EXIT
USERDIR=$WORK/user RUNDIR=$WORK/run
SHOTS=${SHOTS:-$(dirname "$GAME")/$SHOTS_NAME}
rm -rf "$SHOTS"; mkdir -p "$USERDIR" "$RUNDIR" "$SHOTS"
"$TOOLS/pakbuild" "$DATADIR" "$RUNDIR/main.pak" > /dev/null || { echo "FAIL: pakbuild"; exit 1; }
. "$(dirname "${BASH_SOURCE[0]}")/driver.sh"
. "$(dirname "${BASH_SOURCE[0]}")/game.sh"
