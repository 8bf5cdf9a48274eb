#!/bin/bash
# Plays one edition program as a person would, in an X server of its own: finds its window,
# checks its title and size, presses Numbers3 with the pointer and checks the finished
# forecast and the edition's picture on screen, then presses ロト6 and closes the window
# mid-forecast the way a window manager does, which must end the program at once, cleanly.
#
# usage: play_edition.sh PROGRAM CLOSER PICTURE OTHER-PICTURE TEXT-COLOUR
#   CLOSER sends WM_DELETE_WINDOW to a window; PICTURE is the edition's background and
#   OTHER-PICTURE the other edition's, which must not be what shows; TEXT-COLOUR (r,g,b) is
#   the edition's colour of the message line.
set -eu

program=$1 closer=$2 picture=$3 other_picture=$4 text_colour=$5

for tool in Xvfb xdotool xprop xwininfo import convert compare; do
    command -v "$tool" >/dev/null || { echo "$tool is missing: run scripts/setup-debian" >&2; exit 1; }
done

. "$(dirname "$0")/../../scripts/xsession.sh"
work=$session

fail() {
    echo "FAIL: $*" >&2
    if [ -s "$work/stderr" ]; then
        echo "--- the program's stderr:" >&2
        cat "$work/stderr" >&2
    fi
    exit 1
}

# Runs a command every 50 ms until it succeeds, for at most $1 seconds.
wait_until() {
    local deadline=$(($(now_ms) + $1 * 1000))
    shift
    until "$@"; do
        [ "$(now_ms)" -lt "$deadline" ] || return 1
        sleep 0.05
    done
}

# The window's picture: exactly its client area, as the X server holds it.
shoot() { import -window "$window" "$work/$1.png"; }

# Prints how many dark pixels each number label (1 to 6) of a shot holds, on one line.
dark_pixels_in_labels() {
    local crops=() p
    for p in 1 2 3 4 5 6; do
        crops+=(\( -clone 0 -crop "36x28+$((32 + 64 * (p - 1)))+64" \))
    done
    convert "$work/$1.png" -colorspace Gray -threshold 50% -negate "${crops[@]}" -delete 0 \
        -format '%[fx:round(mean*w*h)] ' info:
}

# Counts the pixels of a region that differ between a shot and a picture (or another shot).
differing_pixels() {
    local region=$1 shot=$2 other=$3
    convert "$shot" -crop "$region" +repage -alpha off "$work/a.png"
    convert "$other" -crop "$region" +repage -alpha off "$work/b.png"
    compare -metric AE -fuzz 2% "$work/a.png" "$work/b.png" null: 2>&1 || true
}

# Whether a region of the window looks other than it does in an earlier shot.
region_changed_since() {
    shoot now
    [ "$(differing_pixels "$1" "$work/now.png" "$work/$2.png")" != 0 ]
}

# Whether the window has been painted with a picture, judged by its sky.
sky_shows() {
    shoot now
    [ "$(differing_pixels "$sky" "$work/now.png" "$1")" = 0 ]
}

# The labels have stopped changing: two shots a little more than two reel frames apart agree.
labels_settled() {
    shoot settled-a
    sleep 0.25
    shoot settled-b
    [ "$(differing_pixels 384x28+32+64 "$work/settled-a.png" "$work/settled-b.png")" = 0 ]
}

program_has_exited() { ! kill -0 "$app_pid" 2>/dev/null; }

click_at() { xdotool mousemove --window "$window" "$1" "$2" click 1; }

headline=257x33+80+8 # where Label8 writes the game's name when a forecast starts
sky=60x45+0+0        # a corner of the picture no control or text covers

# --- An X server on a free display of its own, and the program in it. Whatever the program
# warns of must land in its stderr, never in a system journal, to be seen.
xsession_start 640x480 || fail "no X server"
xsession_run "$program" QT_ASSUME_STDERR_HAS_CONSOLE=1 || fail "no window appeared"

# --- Title and client size, as the X server has them.
title=$(xprop -id "$window" -notype _NET_WM_NAME)
[ "$title" = '_NET_WM_NAME = "Ostavel★"' ] || fail "title: $title"
[ "$(xdotool getwindowname "$window")" = "Ostavel★" ] ||
    fail "WM_NAME: $(xdotool getwindowname "$window")"
size=$(client_size)
[ "$size" = 421x279 ] || fail "client size is $size, not 421x279"

# --- Numbers3 (x 208..281, y 208..233) runs for 2.46 s; its start shows in the headline.
wait_until 5 sky_shows "$picture" || fail "the window never showed $picture"
cp "$work/now.png" "$work/idle.png"
click_at 244 220
wait_until 3 region_changed_since "$headline" idle || fail "pressing Numbers3 started nothing"
cp "$work/now.png" "$work/numbers3-started.png"
sleep 2.46
wait_until 3 labels_settled || fail "the Numbers3 forecast did not come to an end"
xdotool mousemove 639 479
shoot numbers3

read -r -a dark <<<"$(dark_pixels_in_labels numbers3)"
for p in 1 2 3; do
    [ "${dark[p - 1]}" -ge 10 ] || fail "bubble $p shows no number (dark pixels: ${dark[*]})"
done
for p in 4 5 6; do
    [ "${dark[p - 1]}" -eq 0 ] || fail "bubble $p is not empty (dark pixels: ${dark[*]})"
done

# --- The edition's own picture is what shows, not the other one.
mine=$(differing_pixels "$sky" "$work/numbers3.png" "$picture")
[ "$mine" = 0 ] || fail "$mine pixels of the sky differ from $picture"
theirs=$(differing_pixels "$sky" "$work/numbers3.png" "$other_picture")
[ "$theirs" -gt 1000 ] || fail "the sky looks like $other_picture too ($theirs pixels differ)"

# --- The message line (x 128..296, y 184..216) is written in the edition's colour.
inked=$(convert "$work/numbers3.png" -crop 169x33+128+184 +repage -fuzz 12% -fill black \
    -opaque "rgb($text_colour)" -fill white +opaque black -negate -format '%[fx:round(mean*w*h)]' info:)
[ "$inked" -ge 8 ] || fail "the message line holds $inked pixels of rgb($text_colour)"

# --- ロト6 (x 128..201) runs for 10.76 s; a second in, every bubble spins, and closing the
# window then must end the program at once.
click_at 164 220
wait_until 3 region_changed_since "$headline" numbers3-started || fail "pressing ロト6 started nothing"
sleep 1
shoot roto6
read -r -a dark <<<"$(dark_pixels_in_labels roto6)"
[ "${dark[5]}" -ge 10 ] || fail "a second into ロト6, bubble 6 does not spin (dark pixels: ${dark[*]})"

asked=$(now_ms)
"$closer" "$window" || fail "could not ask the window to close"
wait_until 1 program_has_exited ||
    fail "still running a second after the window was asked to close"
took=$(($(now_ms) - asked))
status=0
wait "$app_pid" || status=$?
app_pid=""
[ "$status" -eq 0 ] || fail "the program exited with status $status"
[ ! -s "$work/stderr" ] || fail "the program printed warnings"
echo "closed mid-forecast; the program exited with status 0 after $took ms"
