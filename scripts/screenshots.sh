#!/usr/bin/env bash
# Takes every screenshot the README shows, into docs/, with the run command's
# screenshot option: Wine's Notepad, Minesweeper and Clock are open, and the
# first shot hides invisible windows so that the list holds just those three.
set -euo pipefail
cd "$(dirname "$0")/.."

settings="build/x86_64/vantora.ini"
rm -f "$settings"  # start from the defaults

shot() {
  env -u DISPLAY bash scripts/run.sh --dpi "${3:-96}" --screenshot "docs/$1.png" --keys "$2"
}
# Rows of the three programs' list (sorted by title) on the 1024x768 desktop.
minesweeper_row=click:480,449

shot main-window "alt+v h"            # the filter stays off in the settings file
shot main-window-144dpi "" 144
shot menu-window "alt+w"
shot menu-view "alt+v"
shot menu-undo "alt+u"
shot menu-help "alt+h"
shot properties-dialog "$minesweeper_row alt+w p"
shot about-box "alt+h a move:60,60"
shot tray-icon "alt+space n"
shot tray-undo-menu "$minesweeper_row alt+w t alt+space n click:1013,757"
# Invisible windows listed again; Minesweeper (found by typing its title) hidden,
# then the Undo menu with the entry that shows it again.
shot after-toggle "alt+v h w i n e m alt+w v alt+u"
rm -f "$settings"
