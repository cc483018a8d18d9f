# Helpers that drive the real game in an X server without a screen: Xvfb, the game, input through
# xdotool, screenshots through ImageMagick's import, click positions from the definition scripts, and
# the settings store. Sourced by the end-to-end test and the start-up benchmark. A missing tool or a
# step that does not happen fails the run loudly; nothing is ever skipped.
#
# Set before sourcing: E2E_OUT (a folder for screenshots, the game's output and its settings),
# E2E_GAME (the program), E2E_SCRIPTS (the folder of the definition scripts), E2E_LAYOUT (layout.txt)
# and E2E_SETTINGS_TOOL (e2e_settings). The game runs with its own settings folder, E2E_OUT/settings.

E2E_GAME_PID=""
E2E_XVFB_PID=""
E2E_LOG=""
E2E_WINDOW=""
# The game's program key below the settings root (its "REGISTRYNAME").
E2E_PROGRAM_KEY=Lumaroo

e2e_note() { echo "e2e: $*" >&2; }

e2e_fail() {
    echo "e2e: FAILED: $*" >&2
    if [[ -z "${E2E_FAILING:-}" && -n "$E2E_XVFB_PID" ]] && command -v import >/dev/null 2>&1; then
        E2E_FAILING=1
        e2e_shot failure >/dev/null 2>&1
    fi
    if [[ -n "$E2E_LOG" && -s "$E2E_LOG" ]]; then
        echo "e2e: the game's last output ($E2E_LOG):" >&2
        tail -n 20 "$E2E_LOG" >&2
    fi
    echo "e2e: screenshots and output are kept in $E2E_OUT" >&2
    exit 1
}

e2e_require() {
    local tool
    for tool in "$@"; do
        command -v "$tool" >/dev/null 2>&1 || e2e_fail "$tool is missing (scripts/install-deps installs it)"
    done
}

# Ends whatever is still running; the game gets no second chance here (a clean end is checked by
# e2e_quit_by_signal and the test's own last step).
e2e_cleanup() {
    if [[ -n "$E2E_GAME_PID" ]] && kill -0 "$E2E_GAME_PID" 2>/dev/null; then
        kill -KILL "$E2E_GAME_PID" 2>/dev/null || true
        wait "$E2E_GAME_PID" 2>/dev/null || true
    fi
    if [[ -n "$E2E_XVFB_PID" ]] && kill -0 "$E2E_XVFB_PID" 2>/dev/null; then
        kill -TERM "$E2E_XVFB_PID" 2>/dev/null || true
        wait "$E2E_XVFB_PID" 2>/dev/null || true
    fi
}

# A fresh output folder and the exit trap.
e2e_begin() {
    rm -rf "$E2E_OUT"
    mkdir -p "$E2E_OUT/shots" "$E2E_OUT/settings" || e2e_fail "cannot make $E2E_OUT"
    trap e2e_cleanup EXIT
    trap 'e2e_fail "interrupted"' INT TERM
}

# An X server of the game's size on a free display; DISPLAY points at it. The screen is exactly 800 by
# 600 at depth 24, so the game's first start goes full screen and screen and game coordinates agree.
e2e_start_x() {
    e2e_require Xvfb
    local numberFile="$E2E_OUT/xvfb.display"
    : >"$numberFile"
    Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$numberFile" 2>"$E2E_OUT/xvfb.log" &
    E2E_XVFB_PID=$!
    local waited=0
    while [[ ! -s "$numberFile" ]]; do
        kill -0 "$E2E_XVFB_PID" 2>/dev/null || e2e_fail "Xvfb did not start (see $E2E_OUT/xvfb.log)"
        ((waited++ < 100)) || e2e_fail "Xvfb gave no display within 10 s"
        sleep 0.1
    done
    export DISPLAY=":$(head -n 1 "$numberFile")"
    e2e_note "X server on $DISPLAY"
}

# Starts the game in the background with its own settings folder, its start-up trace on and sound
# silent. $1: the video driver (default x11). E2E_START_US is the wall clock just before the start.
e2e_start_game() {
    local driver=${1:-x11}
    [[ -x "$E2E_GAME" ]] || e2e_fail "no program at $E2E_GAME"
    E2E_LOG="$E2E_OUT/game.log"
    # In a sanitizer build, leak checking is off here: the X client libraries that SDL loads and unloads
    # leave allocations LeakSanitizer cannot attribute (the unit tests check the game's own leaks).
    E2E_START_US=$(date +%s%6N)
    ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0" \
        LUMAROO_SETTINGS_DIR="$E2E_OUT/settings" LUMAROO_STARTUP_TRACE=1 ALSOFT_DRIVERS=null \
        SDL_VIDEODRIVER="$driver" "$E2E_GAME" >"$E2E_LOG" 2>&1 &
    E2E_GAME_PID=$!
}

e2e_game_alive() { kill -0 "$E2E_GAME_PID" 2>/dev/null; }

# Waits (up to $2 seconds) for the start-up trace's milestone $1; prints its wall-clock microseconds.
e2e_wait_milestone() {
    local milestone=$1 limit=$(( ${2:-20} * 20 )) tries=0 line
    while :; do
        line=$(grep -m 1 "^lumaroo-startup: $milestone " "$E2E_LOG" 2>/dev/null)
        if [[ -n "$line" ]]; then
            echo "${line##* }"
            return 0
        fi
        e2e_game_alive || e2e_fail "the game ended before \"$milestone\""
        ((tries++ < limit)) || e2e_fail "no \"$milestone\" within ${2:-20} s"
        sleep 0.05
    done
}

# Waits for the game's window to be mapped; E2E_WINDOW is its id.
e2e_wait_window() {
    e2e_require xdotool
    local tries=0
    while :; do
        E2E_WINDOW=$(xdotool search --onlyvisible --pid "$E2E_GAME_PID" 2>/dev/null | head -n 1)
        [[ -n "$E2E_WINDOW" ]] && return 0
        e2e_game_alive || e2e_fail "the game ended before showing its window"
        ((tries++ < 100)) || e2e_fail "the game showed no window within 10 s"
        sleep 0.1
    done
}

# A screenshot of the whole screen, numbered in order (callers often run in a subshell, so the number
# comes from the folder): E2E_OUT/shots/NN-name.png.
e2e_shot() {
    e2e_require import
    local taken file
    taken=$(find "$E2E_OUT/shots" -name '*.png' | wc -l)
    file=$(printf '%s/shots/%02d-%s.png' "$E2E_OUT" $((taken + 1)) "$1")
    import -window root "$file" || e2e_fail "no screenshot $file"
    echo "$file"
}

# Waits (up to $1 seconds) until the screen is still: two screenshots half a second apart differ in
# fewer than $2 pixels (default 1500: the idle animations of a level stay below that; the menus' rain
# changes ten times as many).
e2e_wait_still() {
    local tries=0 changed
    import -window root "$E2E_OUT/.still-a.png" || e2e_fail "no screenshot"
    while :; do
        sleep 0.5
        import -window root "$E2E_OUT/.still-b.png" || e2e_fail "no screenshot"
        changed=$(e2e_changed_pixels "$E2E_OUT/.still-a.png" "$E2E_OUT/.still-b.png") || exit 1
        ((changed < ${2:-1500})) && return 0
        ((tries++ < ${1:-10} * 2)) || e2e_fail "the screen did not come to rest within ${1:-10} s"
        mv "$E2E_OUT/.still-b.png" "$E2E_OUT/.still-a.png"
    done
}

# The top-left corner of a sprite in screen coordinates, from the definition scripts: a path of names
# from the scene's script down through the dialogs' own scripts ("ChoosePlayer/createNewProfile").
# A sprite record is its name, its class ("Class:+script" for a dialog with children), its pictures,
# then its numbers, the first two being x and y relative to its container.
e2e_where() {
    local script="$E2E_SCRIPTS/datfile" x=0 y=0 part record class position
    local -a parts
    IFS=/ read -ra parts <<<"$1"
    for part in "${parts[@]}"; do
        record=$(sed 's/;.*//' "$script" | awk -v name="$part" '$1 == name { print; exit }')
        [[ -n "$record" ]] || e2e_fail "no sprite \"$part\" in $script"
        position=$(awk '{ for (i = 3; i < NF; i++) if ($i ~ /^-?[0-9]+$/) { print $i, $(i + 1); exit } }' \
            <<<"$record")
        [[ -n "$position" ]] || e2e_fail "no position in the record of \"$part\" in $script"
        x=$((x + ${position% *}))
        y=$((y + ${position#* }))
        class=$(awk '{ print $2 }' <<<"$record")
        if [[ "$class" == *:+* ]]; then
            script="$E2E_SCRIPTS/${class#*:+}"
        fi
    done
    echo "$x $y"
}

# A value of data/layout.txt: its numbers.
e2e_layout() {
    local numbers
    numbers=$(sed 's/;.*//' "$E2E_LAYOUT" | awk -v name="$1" '$1 == name { $1 = ""; print; exit }')
    [[ -n "$numbers" ]] || e2e_fail "no \"$1\" in $E2E_LAYOUT"
    echo $numbers
}

# A left click at game coordinates $1 $2 (the window's origin added).
e2e_click() {
    local X=0 Y=0 WINDOW SCREEN WIDTH HEIGHT
    eval "$(xdotool getwindowgeometry --shell "$E2E_WINDOW")" || e2e_fail "the game's window is gone"
    # A move to where the pointer already is would wait for a motion that never comes (xdotool gives up
    # after 15 s), as for the second of two clicks on one button.
    if [[ "$(xdotool getmouselocation)" != "x:$((X + $1)) y:$((Y + $2)) "* ]]; then
        xdotool mousemove --sync $((X + $1)) $((Y + $2)) || e2e_fail "cannot move the pointer"
    fi
    sleep 0.1
    xdotool mousedown 1 && sleep 0.08 && xdotool mouseup 1 || e2e_fail "cannot click"
}

# A click a little inside a sprite's top-left corner (buttons are hit over their whole picture).
e2e_click_sprite() {
    local position
    position=$(e2e_where "$1") || exit 1
    e2e_note "click $1 at $position"
    e2e_click $((${position% *} + ${2:-12})) $((${position#* } + ${3:-12}))
}

e2e_type() { xdotool type --delay 60 "$1" || e2e_fail "cannot type"; }
e2e_key() { xdotool key "$1" || e2e_fail "cannot press $1"; }

# A click in the middle of board square column $1, row $2.
e2e_click_square() {
    local origin size
    origin=$(e2e_layout board_origin)
    size=$(e2e_layout square)
    local side=${size%% *}
    e2e_click $((${origin% *} + $1 * side + side / 2)) $((${origin#* } + $2 * side + side / 2))
}

# The settings store: e2e_settings get NAME... or set NAME VALUE... under the program key (or under a
# profile's key with E2E_KEY set), or e2e_settings profiles.
e2e_settings() {
    "$E2E_SETTINGS_TOOL" "$E2E_OUT/settings" "${E2E_KEY:-$E2E_PROGRAM_KEY}" "$@" ||
        e2e_fail "cannot use the settings in $E2E_OUT/settings"
}

# Checks that a settings value is as expected: e2e_expect_setting NAME VALUE.
e2e_expect_setting() {
    local got
    got=$(e2e_settings get "$1")
    [[ "$got" == "$1 $2" ]] || e2e_fail "settings: expected \"$1 $2\", found \"$got\""
}

# Waits (up to $1 seconds) for the game to end by itself; fails when it does not or ends with an error.
e2e_wait_exit() {
    local tries=0 status
    while e2e_game_alive; do
        ((tries++ < ${1:-10} * 10)) || e2e_fail "the game did not end within ${1:-10} s"
        sleep 0.1
    done
    wait "$E2E_GAME_PID"
    status=$?
    E2E_GAME_PID=""
    [[ $status -eq 0 ]] || e2e_fail "the game ended with status $status"
}

# A close request by signal, as a desktop logout sends it; the game must end by itself.
e2e_quit_by_signal() {
    kill -TERM "$E2E_GAME_PID" || e2e_fail "the game is not running"
    e2e_wait_exit 10
}

# ---- the steps through the game's screens ----

# The first start has no profile: the chooser is up. Creates profile $1 with the name prompt.
e2e_create_profile() {
    e2e_click_sprite ChoosePlayer/createNewProfile
    sleep 0.5
    e2e_type "$1"
    e2e_key Return
    sleep 1
}

e2e_open_map() {
    e2e_click_sprite MainMenu/bStart1
    sleep 2
}

# Level 1 is selected on a new profile's map.
e2e_start_level() {
    e2e_click_sprite MenuMap/bstartgame
    sleep 3
}

e2e_open_game_menu() {
    e2e_click_sprite btn_MenuOnConsole
    sleep 1
}

# ---- checks on the screenshots ----

# How many pixels differ (beyond a 5% fuzz) between two screenshots, within an optional crop
# geometry WxH+X+Y.
e2e_changed_pixels() {
    local a=$1 b=$2
    if [[ -n "${3:-}" ]]; then
        convert "$1" -crop "$3" +repage "$E2E_OUT/.crop-a.png" && convert "$2" -crop "$3" +repage "$E2E_OUT/.crop-b.png" ||
            e2e_fail "cannot crop the screenshots"
        a="$E2E_OUT/.crop-a.png"
        b="$E2E_OUT/.crop-b.png"
    fi
    # compare prints the count on standard error and answers 1 when the pictures differ.
    local count
    count=$(compare -metric AE -fuzz 5% "$a" "$b" null: 2>&1)
    [[ "$count" =~ ^[0-9]+$ ]] || e2e_fail "cannot compare $1 and $2: $count"
    echo "$count"
}

# Takes screenshot $1 and checks that at least $3 pixels changed since screenshot $2 (within crop $5,
# if given): $4 says what should have happened. The menus' falling drops and the pieces' idle animation
# change a few hundred pixels at most; a new screen or dialog changes tens of thousands.
e2e_expect_change() {
    local shot changed
    shot=$(e2e_shot "$1") || exit 1
    changed=$(e2e_changed_pixels "$2" "$shot" "${5:-}") || exit 1
    ((changed >= $3)) || e2e_fail "$4 did not happen: only $changed pixels changed (expected $3 or more; $shot)"
    E2E_LAST_SHOT=$shot
}
