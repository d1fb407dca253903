# The game's own steps every game e2e script shares, on top of the general
# helper (source tests/support/e2e.sh first, then this file):
#
#   pass_splash STATE [WHAT]   the splash movie clicked away until STATE
#   enter_name NAME            the name entry's field focused, NAME typed and
#                              shown, Return: the main menu
#   page_to_map                the opening comic paged through to the map
#
# and the states of the screens they pass: $accent (the buttons' and title
# bands' colour), $name_entry, $menu (the main menu's Quit button), $map (the
# map's Play button).

accent="^2[2-4][0-9] 1[01][0-9] [4-7][0-9]$"
name_entry="pixel 250 160 $accent"
menu="pixel 290 485 $accent"
map="pixel 640 576 $accent"

# The splash movie plays until a click or a key. The sky at the upper right
# is clicked (no later screen has anything to press there) while STATE does
# not hold yet; loading follows the movie and takes no clicks.
pass_splash() {
  E2E_RETRY=1 wait_then_click 700 150 "not $1" "$1" "${2:-$1} after the splash"
}

# A click meant for the splash may land on the name entry and take the
# field's focus away: the field is clicked before the name is typed.
enter_name() {
  wait_until "$name_entry" "the name entry"
  shot "$work/noname.png"
  click 400 287
  xdotool type --delay 60 "$1"
  wait_until "changed $work/noname.png 30 300x40+250+270" "the name typed"
  wait_then_key Return "$name_entry" "$menu" "the main menu after the name"
}

# A new career opens with the story's first comic: its right arrow turns
# the pages until the map's Play button shows. (Play on the menu is taken
# first, so no click of the arrow's lands on the menu.)
page_to_map() {
  E2E_RETRY=1 wait_then_click 760 567 "not $map" "$map" "the map after the opening comic"
}
