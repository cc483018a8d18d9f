#!/usr/bin/env bash
# The screens tour: drives the real game in an X server without a screen through every screen and state
# and keeps a numbered screenshot of each, with one contact sheet of them all. Two runs of the game:
# first on the real data with a fresh settings store (profiles, menus, options, instructions, the map,
# level 1 with its lesson, pause, the in-game menu, stage 12), then on a copy of the data whose boards
# folder holds the tour's own levels (boards/ beside this script): a timer that fills at its first tick, a
# T-shaped board that is one swap and one sun away from all gold or out of moves, and a full board of
# four kinds for a cascade. Settings the tour needs are preset in the store. Each shot is also a check:
# a screen that does not change as it should fails the tour with a screenshot of what was there.
# Usage: tour.sh GAME SOURCE_DIR SETTINGS_TOOL OUTPUT_FOLDER
#   OUTPUT_FOLDER receives NN-name.png and contact-sheet.png; its work/ folder the game's output, the
#   settings store and the copy of the data.
set -uo pipefail
if [[ $# -ne 4 ]]; then
    echo "usage: $0 GAME SOURCE_DIR SETTINGS_TOOL OUTPUT_FOLDER" >&2
    exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$2" && pwd)
real_game=$1
output=$4
E2E_GAME=$real_game
E2E_SCRIPTS=$source_dir/data/script
E2E_LAYOUT=$source_dir/data/layout.txt
E2E_SETTINGS_TOOL=$3
E2E_OUT=$output/work
source "$here/../e2e/driver.sh"
source "$here/steps.sh"

mkdir -p "$output" || e2e_fail "cannot make $output"
rm -f "$output"/[0-9][0-9]-*.png "$output/contact-sheet.png"
e2e_begin
trap tour_finish EXIT
TOUR_KEY="$E2E_PROGRAM_KEY\\Bob"
e2e_require Xvfb xdotool import compare convert montage
e2e_start_x
# A new screen or dialog changes a tenth of the screen or more; a dialog over another tens of thousands
# of pixels; a check mark or a selection a few hundred.
screen=48000
dialog=15000
# The menus' rain, whose strength varies from start to start, keeps changing up to this many pixels in
# half a second; a dialog that fades in or a screen that slides changes more.
menus=50000

# ---- the real data, a fresh store ----
tour_note "run 1: the real data"
e2e_start_game
e2e_wait_milestone main-menu 30 >/dev/null
e2e_wait_window
TOUR_STILL=$menus
tour_wait_still 10
# Without a profile the main menu opens the chooser at once.
E2E_LAST_SHOT=$(e2e_shot chooser-empty)
tour_note "shot $(basename "$E2E_LAST_SHOT")"
e2e_click_sprite ChoosePlayer/createNewProfile
sleep 0.5
e2e_type Ann
tour_shot name-prompt $dialog "the name prompt"
e2e_key Return
tour_shot main-menu $screen "the main menu of the new player"
# A second player: a name that exists already, in any letter case, is refused.
e2e_click_sprite MainMenu/ChangePlayer
sleep 0.5
e2e_click_sprite ChoosePlayer/createNewProfile
sleep 0.5
e2e_type ann
e2e_key Return
tour_shot name-exists $screen "the notice that the name exists"
e2e_click_sprite ChoosePlayer/genericDialog/b1OK
sleep 0.5
# The prompt stays open with the name typed; it is replaced.
for _ in 1 2 3; do e2e_key BackSpace; done
e2e_type Bob
e2e_key Return
sleep 1
tour_expect_profiles Ann Bob
e2e_click_sprite MainMenu/ChangePlayer
tour_shot chooser-two-profiles $screen "the chooser with two players"
e2e_click_sprite ChoosePlayer/deleteProfile
tour_shot delete-player $dialog "the question whether to delete the player"
e2e_click_sprite ChoosePlayer/genericDialog/b2Cancel
sleep 0.5
tour_expect_profiles Ann Bob
e2e_click_sprite ChoosePlayer/acceptProfile
sleep 1

e2e_click_sprite MainMenu/bMenuOptions
tour_shot options-windowed $dialog "the options"
windowed=$E2E_LAST_SHOT
# The box switches the window to full screen; the options show the new state when they open again.
e2e_click_sprite Options/fullscreenhotspot
sleep 1.5
E2E_KEY=$TOUR_KEY e2e_expect_setting FULLSCREEN 1
e2e_click_sprite Options/bOptionsClose
sleep 1
tour_mark
e2e_click_sprite MainMenu/bMenuOptions
tour_shot options-full-screen $dialog "the options opened again"
mark=$(e2e_where Options/bFullScreen)
mark="48x48+$((${mark% *} - 6))+$((${mark#* } - 6))"
changed=$(e2e_changed_pixels "$windowed" "$E2E_LAST_SHOT" "$mark") || exit 1
((changed >= 200)) || e2e_fail "the full-screen mark did not show: $changed pixels changed ($E2E_LAST_SHOT)"
e2e_click_sprite Options/bOptionsClose
sleep 1

e2e_click_sprite MainMenu/bMenuInstructions
tour_shot instructions-page-1 $dialog "the instructions"
pages=$(grep -c '^pg[0-9]' "$E2E_SCRIPTS/instructions.def")
((pages >= 2)) || e2e_fail "instructions.def has $pages pages"
for ((page = 2; page <= pages; ++page)); do
    e2e_click_sprite Instructions/bInstructionsNext
    sleep 0.6
    tour_shot "instructions-page-$page" 5000 "instructions page $page"
done
e2e_click_sprite Instructions/bInstructionsClose
sleep 1

e2e_click_sprite MainMenu/bStart1
tour_shot map-new-player $screen "the map of a new player"
e2e_click_sprite MenuMap/bstartgame
sleep 1
unset TOUR_STILL
tour_shot level-1-lesson $screen "level 1 with its first lesson"
e2e_click_sprite itutorial/btn_tutorialClose
sleep 0.5
tour_wait_still 10
e2e_key p
tour_shot pause-sign $dialog "the pause sign"
e2e_key p
sleep 0.5
tour_wait_still 10
tour_mark
e2e_click_sprite btn_MenuOnConsole
tour_shot in-game-menu $dialog "the in-game menu"
# Ending a game from its menu completes no level; the map at highest level 1 is preset.
e2e_click_sprite ExitDialog/EndGame
sleep 1.5
TOUR_STILL=$menus
E2E_KEY=$TOUR_KEY e2e_expect_setting HIG_LVL missing
E2E_KEY=$TOUR_KEY e2e_settings set HIG_LVL 1 >/dev/null
e2e_click_sprite MainMenu/bStart1
tour_shot map-highest-1 $screen "the map at highest level 1"
for highest in 23 60; do
    e2e_click_sprite MenuMap/bbacktomainmenu
    sleep 1
    tour_mark
    # A player who got there: the map shows the level after the highest reached.
    E2E_KEY=$TOUR_KEY e2e_settings set HIG_LVL $highest SEL_LVL $((highest < 60 ? highest + 1 : 60)) >/dev/null
    e2e_click_sprite MainMenu/bStart1
    tour_shot "map-highest-$highest" $screen "the map at highest level $highest"
done
# Stage 12 without explanations over its board: level 60, at the far end of the map.
E2E_KEY=$TOUR_KEY e2e_settings set SHOW_TUTS 0 >/dev/null
tour_pick_map_level 60
e2e_click_sprite MenuMap/bstartgame
sleep 1
unset TOUR_STILL
tour_shot stage-12-level $screen "level 60"
e2e_click_sprite btn_MenuOnConsole
sleep 1
e2e_click_sprite ExitDialog/EndGame
sleep 1.5
e2e_click_sprite MainMenu/bMenuExit
e2e_wait_exit 15
mv "$E2E_LOG" "$E2E_OUT/game-real-data.log"

# ---- the tour's own levels ----
tour_note "run 2: the tour's levels"
E2E_GAME=$(tour_crafted_game "$real_game" "$here/boards") || exit 1
# A player who has reached level 9 with a score of millions, sees no explanations and holds no sun:
# each level then starts with one.
E2E_KEY=$E2E_PROGRAM_KEY e2e_settings set LASTPROFILE Tour 'Tour\haveProfile' 1 'Tour\HIG_LVL' 8 \
    'Tour\SHOW_TUTS' 0 'Tour\GLT' 0 'Tour\SCORE' 2345678 >/dev/null
TOUR_KEY="$E2E_PROGRAM_KEY\\Tour"
e2e_start_game
e2e_wait_milestone main-menu 30 >/dev/null
e2e_wait_window
sleep 1.5
tour_mark

tour_note "game over by time"
e2e_click_sprite MainMenu/bStart1
sleep 1.5
tour_start_level 3
tour_wait_change 10000 20 "the end of level 3 by time" "$(tour_dialog_top GameOver 70)"
tour_shot game-over-time $screen "game over by time"
e2e_click_sprite GameOver/OverMenu
sleep 1.5

tour_note "a cascade"
e2e_click_sprite MainMenu/bStart1
sleep 1.5
tour_start_level 7
tour_cascade cascade-floating-points "$E2E_OUT/tour-data/boards/board7.txt"
tour_wait_still 30
e2e_click_sprite btn_MenuOnConsole
sleep 1
e2e_click_sprite ExitDialog/mapbutton
sleep 1.5

tour_note "a carried sun, no more moves and game over by no moves"
tour_start_level 9
e2e_click_sprite btn_consolesun
e2e_click_square 9 5
sleep 0.5
tour_shot carried-sun 300 "the sun following the pointer" "$(tour_squares 7 3 5 5)"
tour_no_more_moves 5 0 6 0 6 1
e2e_click_sprite GameOver/OverMenu
sleep 1.5

tour_note "a level completed, its tally, the bonus level and its tally"
# The bonus level's tally stores level 5 as completed: the player is put back to level 4 once level 5
# is selected, so that the store shows the moment.
e2e_click_sprite MainMenu/bStart1
sleep 1.5
tour_select_level 5
E2E_KEY=$TOUR_KEY e2e_settings set HIG_LVL 4 >/dev/null
tour_start_level 5
tour_swap 6 0 6 1
tour_wait_still 10
tour_place_sun 6 1
score=$(tour_player_value SCORE)
tour_wait_setting SCORE "$score" 30 "the level-complete tally of level 5"
sleep 1
tour_shot tally-normal $screen "the tally of level 5"
e2e_click_sprite LevelComplete/ibtncontinue
sleep 3
tour_shot bonus-level $screen "the bonus level"
tour_pick_bonus_blocks
tour_shot tally-bonus $dialog "the tally of the bonus level"
e2e_click_sprite LevelComplete/ibtncontinue
sleep 1.5
e2e_click_sprite MenuMap/bbacktomainmenu
sleep 1
e2e_click_sprite MainMenu/bMenuExit
e2e_wait_exit 15
mv "$E2E_LOG" "$E2E_OUT/game-tour-levels.log"

tour_contact_sheet
tour_collect
tour_note "passed; shots in $output"
