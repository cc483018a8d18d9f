#!/usr/bin/env bash
# The real game end to end in an X server without a screen. First a start closed by SIGTERM as soon as
# the loading screen is up: the close request must end the game by itself with "NORMALEXIT" 1. Then a
# play-through: create a profile, reach the main menu, open the map, start level 1, close its first
# lesson, make one swap, open the in-game menu, end the game there and leave from the main menu; the settings store then holds the
# profile, "NORMALEXIT" 1 and, in the profile, "SEL_LVL" 1 and no "HIG_LVL" (ending a game from its menu
# completes no level). Screenshots of every step stay in the output folder.
# Usage: play-through.sh GAME SOURCE_DIR SETTINGS_TOOL OUTPUT_FOLDER
set -uo pipefail
if [[ $# -ne 4 ]]; then
    echo "usage: $0 GAME SOURCE_DIR SETTINGS_TOOL OUTPUT_FOLDER" >&2
    exit 2
fi
E2E_GAME=$1
E2E_SCRIPTS=$2/data/script
E2E_LAYOUT=$2/data/layout.txt
E2E_SETTINGS_TOOL=$3
E2E_OUT=$4
source "$(dirname "$0")/driver.sh"

e2e_begin
e2e_require Xvfb xdotool import
e2e_start_x

e2e_note "start, closed by SIGTERM on its loading screen"
e2e_start_game
e2e_wait_milestone loading-screen 20 >/dev/null
e2e_wait_window
e2e_shot loading-screen >/dev/null
e2e_quit_by_signal
e2e_expect_setting NORMALEXIT 1
mv "$E2E_LOG" "$E2E_OUT/game-signal.log"

e2e_note "play-through"
e2e_start_game
e2e_wait_milestone main-menu 30 >/dev/null
e2e_wait_window
sleep 1.5
# A new screen or a dialog changes a tenth of the screen or more.
screen=48000
E2E_LAST_SHOT=$(e2e_shot chooser)
e2e_create_profile E2E
e2e_expect_change main-menu "$E2E_LAST_SHOT" $screen "the main menu after the new profile"
e2e_open_map
e2e_expect_change level-map "$E2E_LAST_SHOT" $screen "the level map"
e2e_start_level
e2e_expect_change level-1 "$E2E_LAST_SHOT" $screen "level 1"
# Once the pieces have dropped in, the first lesson stands over the board's right half: its close
# button puts it away (where no lesson shows, the press lands beside the board). Then the first piece
# picked shows its selection on its square.
e2e_wait_still 10
e2e_click_sprite itutorial/btn_tutorialClose
sleep 0.5
e2e_wait_still 10
E2E_LAST_SHOT=$(e2e_shot board-ready)
e2e_click_square 6 5
sleep 0.5
square=$(e2e_layout square)
origin=$(e2e_layout board_origin)
e2e_expect_change piece-picked "$E2E_LAST_SHOT" 200 "the selection of the piece on square (6, 5)" \
    "${square%% *}x${square##* }+$((${origin% *} + 6 * ${square%% *}))+$((${origin#* } + 5 * ${square##* }))"
e2e_click_square 7 5
# The swap's matches and cascades run their course before the menu is asked for.
sleep 1
e2e_wait_still 20
E2E_LAST_SHOT=$(e2e_shot after-swap)
e2e_open_game_menu
e2e_expect_change game-menu "$E2E_LAST_SHOT" $screen "the in-game menu"
e2e_click_sprite ExitDialog/EndGame
sleep 2
e2e_expect_change main-menu-again "$E2E_LAST_SHOT" $screen "the main menu after ending the game"
e2e_click_sprite MainMenu/bMenuExit
e2e_wait_exit 15

profiles=$(e2e_settings profiles)
grep -qx E2E <<<"$profiles" || e2e_fail "the profile E2E is not in the settings (profiles: ${profiles:-none})"
e2e_expect_setting NORMALEXIT 1
E2E_KEY="$E2E_PROGRAM_KEY\\E2E" e2e_expect_setting SEL_LVL 1
E2E_KEY="$E2E_PROGRAM_KEY\\E2E" e2e_expect_setting HIG_LVL missing
e2e_note "passed; screenshots in $E2E_OUT/shots"
