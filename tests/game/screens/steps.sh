# shellcheck shell=bash
# The screens tour's steps on top of the end-to-end driver (../e2e/driver.sh, sourced first): shots that
# are checks, waits on the screen or on the settings store, the map, swaps and suns, the board read
# from a screenshot, and the copy of the data with the tour's own levels.
#
# Set before sourcing: what driver.sh needs, `output` (the folder the numbered shots end up in) and
# TOUR_KEY (the current player's key, "Lumaroo\Name") whenever a step reads the player's values.

TOUR_HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

# The shots taken so far move to the output folder.
tour_collect() {
    if compgen -G "$E2E_OUT/shots/*.png" >/dev/null; then
        mv "$E2E_OUT"/shots/*.png "$output"/
    fi
}

# On any exit: the game and the X server end, and the shots taken so far, a failure's included, move to
# the output folder.
tour_finish() {
    local status=$?
    e2e_cleanup
    tour_collect
    exit $status
}

# A note with the seconds since the tour began.
tour_note() { e2e_note "[$SECONDS s] $*"; }

# A reference screenshot, outside the numbered ones, for the next check.
tour_mark() {
    E2E_LAST_SHOT="$E2E_OUT/.mark.png"
    import -window root "$E2E_LAST_SHOT" || e2e_fail "no screenshot"
}

# Waits up to $1 seconds (default 15) until the screen is at rest: fewer than TOUR_STILL pixels changing
# in half a second (default 4000: a level's idle pieces, power overlays, twinkles and hint marks stay
# below that, falling pieces do not).
tour_wait_still() {
    e2e_wait_still "${1:-15}" "${TOUR_STILL:-4000}"
}

# Once the screen is at rest, the numbered shot $1; at least $2 pixels (within crop $4) must have changed
# since the last shot or mark, else "$3 did not happen".
tour_shot() {
    tour_wait_still
    e2e_expect_change "$1" "$E2E_LAST_SHOT" "$2" "$3" "${4:-}"
    tour_note "shot $(basename "$E2E_LAST_SHOT")"
}

# An existing screenshot $1 kept as the next numbered shot $2.
tour_keep() {
    local taken file
    taken=$(find "$E2E_OUT/shots" -name '*.png' | wc -l)
    file=$(printf '%s/shots/%02d-%s.png' "$E2E_OUT" $((taken + 1)) "$2")
    cp "$1" "$file" || e2e_fail "cannot keep $1"
    E2E_LAST_SHOT=$file
    tour_note "shot $(basename "$file")"
}

# Waits up to $2 seconds for at least $1 pixels to change (within crop $4) since the last shot or mark:
# "$3".
tour_wait_change() {
    local limit=$(($2 * 2)) tries=0 changed
    while :; do
        import -window root "$E2E_OUT/.wait.png" || e2e_fail "no screenshot"
        changed=$(e2e_changed_pixels "$E2E_LAST_SHOT" "$E2E_OUT/.wait.png" "${4:-}") || exit 1
        ((changed >= $1)) && return 0
        e2e_game_alive || e2e_fail "the game ended while waiting for $3"
        ((tries++ < limit)) || e2e_fail "$3 did not happen within $2 s"
        sleep 0.5
    done
}

# A value of the current player: "NAME value", or "NAME missing".
tour_player_value() {
    E2E_KEY=$TOUR_KEY e2e_settings get "$1"
}

# Waits up to $3 seconds for the player's value $1 to differ from "$2" (a line of tour_player_value): "$4".
tour_wait_setting() {
    local limit=$(($3 * 4)) tries=0
    while [[ "$(tour_player_value "$1")" == "$2" ]]; do
        e2e_game_alive || e2e_fail "the game ended while waiting for $4"
        ((tries++ < limit)) || e2e_fail "$4 did not happen within $3 s ($2 stayed)"
        sleep 0.25
    done
}

# The profiles in the store are exactly the names given, in order.
tour_expect_profiles() {
    local got
    got=$(e2e_settings profiles | tr '\n' ' ')
    [[ "$got" == "$* " ]] || e2e_fail "profiles: expected \"$*\", found \"$got\""
}

# The selected level on the map, as the map stores it; a player who never chose one sees the level
# after the highest reached (at most 60).
tour_selected_level() {
    local line highest=0
    line=$(tour_player_value SEL_LVL)
    if [[ "$line" == "SEL_LVL missing" ]]; then
        line=$(tour_player_value HIG_LVL)
        [[ "$line" =~ ^HIG_LVL\ ([0-9]+)$ ]] && highest=${BASH_REMATCH[1]}
        echo $((highest < 60 ? highest + 1 : 60))
        return
    fi
    [[ "$line" =~ ^SEL_LVL\ ([0-9]+)$ ]] || e2e_fail "no selected level in the store ($line)"
    echo "${BASH_REMATCH[1]}"
}

# On the map: steps the selection to level $1 with the console's arrows, and checks it.
tour_select_level() {
    local target=$1 selected arrow
    selected=$(tour_selected_level) || exit 1
    arrow=mapconsoleforwardarrow
    ((target < selected)) && arrow=mapconsolebackarrow
    while ((selected != target)); do
        e2e_click_sprite "MenuMap/$arrow"
        sleep 0.4
        local now
        now=$(tour_selected_level) || exit 1
        ((now != selected)) || e2e_fail "the map's $arrow did not move the selection from level $selected"
        selected=$now
    done
}

# On the map: level $1 picked by its marker once the map has scrolled to its far end with the right
# scroll arrow held down. A marker stands 5 pixels left of and 10 above its place in levelmap.def, moved
# with the map picture, which ends at the first x of the layout's map_scroll.
tour_pick_map_level() {
    local marker arrow end X=0 Y=0 WINDOW SCREEN WIDTH HEIGHT
    arrow=$(e2e_where MenuMap/scrollmapright) || exit 1
    end=$(e2e_layout map_scroll) || exit 1
    eval "$(xdotool getwindowgeometry --shell "$E2E_WINDOW")" || e2e_fail "the game's window is gone"
    xdotool mousemove $((X + ${arrow% *} + 24)) $((Y + ${arrow#* } + 60)) ||
        e2e_fail "cannot move the pointer"
    sleep 0.2
    xdotool mousedown 1 || e2e_fail "cannot press the map's scroll arrow"
    sleep 4.5
    xdotool mouseup 1 || e2e_fail "cannot release the map's scroll arrow"
    sleep 0.5
    marker=$(e2e_where "MenuMap/levelmarker$1") || exit 1
    e2e_click $((${marker% *} - 5 + ${end% *} + 20)) $((${marker#* } - 10 + 20))
    sleep 0.5
    [[ "$(tour_selected_level)" == "$1" ]] || e2e_fail "level $1 is not selected on the map"
}

# On the map: selects level $1, starts it and waits for its pieces to land; the board is the mark for
# the next check.
tour_start_level() {
    tour_select_level "$1"
    e2e_click_sprite MenuMap/bstartgame
    sleep 1
    tour_wait_still 10
    [[ "$(tour_player_value SEL_LVL)" == "SEL_LVL $1" ]] || e2e_fail "level $1 was not the one started"
    tour_mark
}

# A swap of two neighbouring squares by two clicks.
tour_swap() {
    e2e_click_square "$1" "$2"
    sleep 0.3
    e2e_click_square "$3" "$4"
    sleep 0.3
}

# The console sun picked up and put onto square $1 $2.
tour_place_sun() {
    e2e_click_sprite btn_consolesun
    sleep 0.5
    e2e_click_square "$1" "$2"
    sleep 0.5
}

# A crop geometry of the top $2 pixels of the scene's dialog $1 (its record in the main definition
# script gives x, y, width and height).
tour_dialog_top() {
    local numbers
    numbers=$(sed 's/;.*//' "$E2E_SCRIPTS/datfile" | awk -v name="$1" '$1 == name { print $3, $4, $5; exit }')
    [[ "$numbers" =~ ^(-?[0-9]+)\ (-?[0-9]+)\ ([0-9]+)$ ]] || e2e_fail "no dialog \"$1\" in datfile"
    echo "${BASH_REMATCH[3]}x$2+${BASH_REMATCH[1]}+${BASH_REMATCH[2]}"
}

# A crop geometry of the board: $3 by $4 squares from square $1 $2.
tour_squares() {
    local origin size
    origin=$(e2e_layout board_origin) || exit 1
    size=$(e2e_layout square) || exit 1
    local side=${size%% *}
    echo "$(($3 * side))x$(($4 * side))+$((${origin% *} + $1 * side))+$((${origin#* } + $2 * side))"
}

# The board read from a screenshot $1 with layout $2: prints board.awk's answer, "x1 y1 x2 y2 cascade"
# or "none"; the kinds read go to the tour's log.
tour_read_board() {
    local dump
    dump=$(convert "$1" -crop "$(tour_squares 0 0 13 10)" +repage -scale 130x100! -depth 8 txt:- |
        awk -v dump=1 -f "$TOUR_HERE/board.awk" "$2" -) || e2e_fail "cannot read the board from $1"
    sed '$d' <<<"$dump" | sed 's/^/e2e:   /' >&2
    tail -n 1 <<<"$dump"
}

# A cascade on the board of layout $2: reads the board, and makes the first swap sure to set off a
# second run; the shot $1 shows the points floating up. When no swap is sure to after a few moves, the
# last one is shot as "match-floating-points" instead, and the log says so. A swap that makes no run
# slides back and leaves the board as it was; a match turns three squares or more gold.
tour_cascade() {
    local name=$1 layout=$2 attempt move board after="$E2E_OUT/.after.png"
    board=$(tour_squares 0 0 13 10) || exit 1
    for attempt in 1 2 3 4 5 6; do
        e2e_wait_still 30 2500
        import -window root "$E2E_OUT/.board.png" || e2e_fail "no screenshot"
        move=$(tour_read_board "$E2E_OUT/.board.png" "$layout") || exit 1
        [[ "$move" != none ]] || e2e_fail "no swap makes a run on the board read (see the log)"
        read -r x1 y1 x2 y2 sure <<<"$move"
        e2e_note "swap ($x1, $y1) with ($x2, $y2)$([[ $sure == 1 ]] && echo ", sure to cascade")"
        tour_swap "$x1" "$y1" "$x2" "$y2"
        if [[ $sure == 1 || $attempt == 6 ]]; then
            [[ $sure == 1 ]] || { name=match-floating-points; e2e_note "no swap was sure to cascade"; }
            # The second pass's points rise and fade within a second of the swap.
            sleep 0.6
            e2e_expect_change "$name" "$E2E_OUT/.board.png" 6000 "the match of the swap" "$board"
            tour_note "shot $(basename "$E2E_LAST_SHOT")"
            return 0
        fi
        sleep 1.1
        import -window root "$after" || e2e_fail "no screenshot"
        (($(e2e_changed_pixels "$E2E_OUT/.board.png" "$after" "$board") > 6000)) ||
            e2e_fail "the swap of ($x1, $y1) with ($x2, $y2) made no match ($after)"
    done
}

# On a T-shaped board (the tour's level 9), with the sun carried: the sun goes onto square $1 $2, then
# the pair $3 $4 and $5 $6 is swapped until no move is left. Screenshots are taken as fast as they come
# until the game-over dialog shows (its top band, above the sign, changes); the last one in which the
# "no more moves" sign stood alone becomes the shot "no-more-moves", then the game over by no moves is
# shot.
tour_no_more_moves() {
    local polls="$E2E_OUT/polls" n tries sign dialog reference
    rm -rf "$polls"
    mkdir -p "$polls"
    sign="400x150+$(e2e_layout no_more_moves | tr ' ' '+')"
    dialog=$(tour_dialog_top GameOver 70) || exit 1
    reference="$E2E_OUT/.before-sign.png"
    import -window root "$reference" || e2e_fail "no screenshot"
    e2e_click_square "$1" "$2"
    n=0
    for _ in 1 2 3 4 5 6 7 8; do
        tries=0
        while ((tries++ < 12)); do
            local shot
            shot=$(printf '%s/%03d.png' "$polls" $n)
            ((++n))
            import -window root "$shot" || e2e_fail "no screenshot"
            if (($(e2e_changed_pixels "$reference" "$shot" "$dialog") > 10000)); then
                local found="" taken=("$polls"/*.png) i
                for ((i = ${#taken[@]} - 1; i >= 0; --i)); do
                    if (($(e2e_changed_pixels "$reference" "${taken[i]}" "$dialog") < 1000)) &&
                        (($(e2e_changed_pixels "$reference" "${taken[i]}" "$sign") > 15000)); then
                        found=${taken[i]}
                        break
                    fi
                done
                [[ -n "$found" ]] ||
                    e2e_fail "the game was over without a \"no more moves\" sign in any screenshot ($polls)"
                tour_keep "$found" no-more-moves
                tour_shot game-over-no-moves 48000 "game over by no moves"
                return 0
            fi
            e2e_game_alive || e2e_fail "the game ended on the T board"
            sleep 0.2
        done
        e2e_note "a move is left; the pair is swapped"
        tour_swap "$3" "$4" "$5" "$6"
    done
    e2e_fail "the T board never ran out of moves"
}

# The bonus level's blocks picked one by one until the tally of the bonus level has stored the level as
# completed. Blocks under the tally's continue button are left alone, so that no pick presses it.
tour_pick_bonus_blocks() {
    local origin cell before row column x y button
    origin=$(e2e_layout bonus_origin) || exit 1
    cell=$(e2e_layout bonus_cell) || exit 1
    button=$(e2e_where LevelComplete/ibtncontinue) || exit 1
    before=$(tour_player_value HIG_LVL)
    for row in 0 1 2 3 4 5; do
        for column in 0 1 2 3 4 5; do
            x=$((${origin% *} + column * ${cell% *} + ${cell% *} / 2))
            y=$((${origin#* } + row * ${cell#* } + ${cell#* } / 2))
            if ((x + 32 > ${button% *} && x - 32 < ${button% *} + 200 && y + 32 > ${button#* })); then
                continue
            fi
            e2e_click "$x" "$y"
            sleep 1
            if [[ "$(tour_player_value HIG_LVL)" != "$before" ]]; then
                sleep 0.5
                return 0
            fi
        done
    done
    tour_wait_setting HIG_LVL "$before" 15 "the end of the bonus level"
}

# A copy of the game $1 that plays the tour's levels: the program linked (or copied) beside the real
# archive, and the real boards with every boardN.txt of $2 put in their place and every record of
# $2/leveling.txt put in place of the record of its level. Prints the copy's path.
tour_crafted_game() {
    local real_game=$1 overlay=$2 data="$E2E_OUT/tour-data" real
    real=$(cd "$(dirname "$real_game")" && pwd) || e2e_fail "no folder of $real_game"
    rm -rf "$data"
    mkdir -p "$data" || e2e_fail "cannot make $data"
    ln "$real_game" "$data/lumaroo" 2>/dev/null || cp "$real_game" "$data/lumaroo" ||
        e2e_fail "cannot copy the game to $data"
    ln -s "$real/Kolbax.bin" "$data/Kolbax.bin" || e2e_fail "cannot link the archive into $data"
    cp -r "$real/boards" "$data/boards" || e2e_fail "cannot copy $real/boards"
    local board
    for board in "$overlay"/board*.txt; do
        cp "$board" "$data/boards/" || e2e_fail "cannot copy $board"
    done
    awk -v records="$overlay/leveling.txt" '
        function numbers(line) { sub(/;.*/, "", line); return split(line, f, " ") }
        BEGIN {
            while ((getline line < records) > 0)
                if (numbers(line) == 30) { mine[f[1]] = line; ++count }
        }
        numbers($0) == 30 && (f[1] in mine) { print mine[f[1]]; delete mine[f[1]]; next }
        { print }
        END {
            for (level in mine) {
                print "no record " level " to replace in leveling.txt" > "/dev/stderr"
                exit 1
            }
            if (count == 0) { print "no records in " records > "/dev/stderr"; exit 1 }
        }' "$real/boards/leveling.txt" >"$data/boards/leveling.txt" ||
        e2e_fail "cannot put the records of $overlay/leveling.txt in place"
    echo "$data/lumaroo"
}

# One contact sheet in the output folder of every numbered shot taken, each labelled with its name (in
# DejaVu Sans, which scripts/install-deps installs; ImageMagick's default font may be missing).
tour_contact_sheet() {
    montage -label '%t' "$E2E_OUT"/shots/[0-9][0-9]-*.png -tile 6x -geometry 320x240+6+6 -font DejaVu-Sans \
        -pointsize 16 -background '#202020' -fill white "$output/contact-sheet.png" ||
        e2e_fail "cannot make the contact sheet"
}
