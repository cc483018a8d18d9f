#!/usr/bin/env bash
# The real game's start-up time and idle cost, one figure a line as "name value unit":
#   startup_to_main_menu  wall-clock time from starting the program to its main menu (goal 1000 ms)
#   cpu_main_menu         CPU time of the whole process over 20 s at the main menu (goal 3 % of one core)
#   cpu_idle_level        the same over 20 s of level 1 left alone (goal 3 % of one core)
#   peak_rss              the largest resident size either run reached (goal 200 MB)
# The start and the main menu run headless (SDL's dummy video driver, OpenAL Soft's null output). A level
# is reached only through the menus, so the level runs in an X server without a screen, driven by
# xdotool. The game's start-up trace (LUMAROO_STARTUP_TRACE) marks the moment its main menu shows. Every
# run has a settings folder of its own. Goals missed are reported on standard error.
# Usage: bench/startup.sh [GAME [SOURCE_DIR]]   (default: build/release/game/lumaroo of this tree)
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
E2E_GAME=${1:-$here/../build/release/game/lumaroo}
source_dir=${2:-$here/..}
E2E_SCRIPTS=$source_dir/data/script
E2E_LAYOUT=$source_dir/data/layout.txt
E2E_SETTINGS_TOOL=""
E2E_OUT=$(mktemp -d "${TMPDIR:-/tmp}/lumaroo-bench-XXXXXX")
source "$source_dir/tests/game/e2e/driver.sh"
e2e_begin
# The measurement window of each CPU figure, in seconds.
window=20
ticks=$(getconf CLK_TCK)

# User plus system CPU ticks of the game so far.
cpu_ticks() {
    local stat
    stat=$(<"/proc/$E2E_GAME_PID/stat") || e2e_fail "the game is gone"
    # The fields after the command's closing parenthesis; utime and stime are the 12th and 13th.
    stat=${stat##*) }
    read -r -a fields <<<"$stat"
    echo $((fields[11] + fields[12]))
}

# CPU use over the window, in percent of one core with one decimal.
cpu_percent() {
    local before after
    before=$(cpu_ticks)
    sleep "$window"
    after=$(cpu_ticks)
    awk -v t=$((after - before)) -v hz="$ticks" -v s="$window" 'BEGIN { printf "%.1f", 100 * t / hz / s }'
}

peak_rss_mb() {
    awk '/^VmHWM:/ { printf "%d", ($2 + 1023) / 1024 }' "/proc/$E2E_GAME_PID/status" ||
        e2e_fail "the game is gone"
}

figure() {
    echo "$1 $2 $3"
    awk -v v="$2" -v g="$4" 'BEGIN { exit !(v > g) }' &&
        echo "bench: $1 is $2 $3, above its goal of $4 $3" >&2
}

# Headless: the start and the main menu.
rm -rf "$E2E_OUT/settings" && mkdir -p "$E2E_OUT/settings"
e2e_start_game dummy
menu_us=$(e2e_wait_milestone main-menu 30) || exit 1
figure startup_to_main_menu $(((menu_us - E2E_START_US + 500) / 1000)) ms 1000
# The menu's first frames settle before the window opens.
sleep 2
figure cpu_main_menu "$(cpu_percent)" % 3
rss_menu=$(peak_rss_mb)
e2e_quit_by_signal

# In an X server: level 1 of a new profile, left alone.
rm -rf "$E2E_OUT/settings" && mkdir -p "$E2E_OUT/settings"
e2e_require Xvfb xdotool import
e2e_start_x
e2e_start_game x11
e2e_wait_milestone main-menu 30 >/dev/null
e2e_wait_window
sleep 1.5
e2e_create_profile Bench
e2e_open_map
e2e_start_level
e2e_wait_still 20
figure cpu_idle_level "$(cpu_percent)" % 3
rss_level=$(peak_rss_mb)
e2e_quit_by_signal
figure peak_rss $((rss_menu > rss_level ? rss_menu : rss_level)) MB 200
rm -rf "$E2E_OUT"
