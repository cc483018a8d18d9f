#!/usr/bin/env bash
# The screens tour's board reader (board.awk through tour_read_board) on drawn boards: each case paints
# its pieces as squares of one colour a kind on a screen of the game's layout, and the swap chosen must
# be the one worked out by hand. A wrong choice sends the tour's cascade to a swap that makes no run.
# Usage: board-test.sh SOURCE_DIR WORK_FOLDER
set -uo pipefail
if [[ $# -ne 2 ]]; then
    echo "usage: $0 SOURCE_DIR WORK_FOLDER" >&2
    exit 2
fi
E2E_SCRIPTS=$1/data/script
E2E_LAYOUT=$1/data/layout.txt
E2E_OUT=$2
source "$(dirname "$0")/../e2e/driver.sh"
source "$(dirname "$0")/steps.sh"
rm -rf "$E2E_OUT"
mkdir -p "$E2E_OUT" || exit 1
e2e_require convert

# Draws the board of 10 lines of 13 letters ($2; "." is a hole) into $1: each letter a kind's colour
# over the middle of its square, on a stone-grey screen.
draw() {
    local file=$1 y=0 x line letter colour draws=() origin
    origin=$(e2e_layout board_origin) || exit 1
    local ox=${origin% *} oy=${origin#* }
    while read -r line; do
        for ((x = 0; x < 13; ++x)); do
            letter=${line:x:1}
            case $letter in
                a) colour='#3c9a3c' ;;
                b) colour='#7a4fc0' ;;
                c) colour='#5a5a5a' ;;
                d) colour='#c8a03c' ;;
                *) continue ;;
            esac
            local left=$((ox + 48 * x + 6)) top=$((oy + 48 * y + 6))
            draws+=(-fill "$colour" -draw "rectangle $left,$top $((left + 35)),$((top + 35))")
        done
        ((++y))
    done <<<"$2"
    convert -size 800x600 xc:'#2a2620' "${draws[@]}" "$file" || e2e_fail "cannot draw $file"
}

# The layout of a board: 0 for a letter, 1 for ".".
layout_of() {
    sed 's/[a-z]/0 /g; s/\./1 /g' <<<"$1"
}

failures=0
expect() {
    local name=$1 board=$2 wanted=$3 got
    draw "$E2E_OUT/$name.png" "$board"
    layout_of "$board" >"$E2E_OUT/$name.txt"
    got=$(tour_read_board "$E2E_OUT/$name.png" "$E2E_OUT/$name.txt" 2>"$E2E_OUT/$name.log")
    if [[ "$got" == "$wanted" ]]; then
        echo "ok: $name: $got"
    else
        echo "FAILED: $name: expected \"$wanted\", got \"$got\" (kinds read: $E2E_OUT/$name.log)"
        ((++failures))
    fi
}

# Four kinds in rows that repeat every four squares, each row shifted by two: no run, and no swap
# makes one.
expect no-move "abcdabcdabcda
cdabcdabcdabc
abcdabcdabcda
cdabcdabcdabc
abcdabcdabcda
cdabcdabcdabc
abcdabcdabcda
cdabcdabcdabc
abcdabcdabcda
cdabcdabcdabc" none

# Two swaps make a run, neither sure to cascade: the lower one is chosen.
two_moves="abcdcbcdabcda
cdabcdabcdabc
abcdabcdabcda
cdabcdabcdabc
abcdabcdabcda
cdabcdabcdabc
abcdabcdabcda
cdabcdabcdabc
abcdabcdabcda
cdabcdadcdabc"
expect lower-move "$two_moves" "7 6 7 7 0"

# The lower swap's square (7, 7) is a hole: only the upper swap is left.
expect hole-ignored "${two_moves:0:105}.${two_moves:106}" "4 2 4 3 0"

# Swapping (1, 3) and (1, 4) makes d at rows 4 to 6 of column 1; once they are cleared, the b of rows 2
# and 3 (the one swapped up) fall onto the b of rows 7 and 8: four in a row, whatever comes in at the
# top.
sure="abcdabcdabcda
cdabcdabcdabc
abcdabcdabcda
cdabcdabcdabc
abcdabcdabcda
cdabcdabcdabc
adcdabcdabcda
cbabcdabcdabc
abcdabcdabcda
cdabcdabcdabc"
expect sure-cascade "$sure" "1 3 1 4 1"

# The same board with a hole in a corner: columns no longer fall straight, so no cascade is promised.
expect uneven-board ".${sure:1}" "1 3 1 4 0"

((failures == 0)) || exit 1
