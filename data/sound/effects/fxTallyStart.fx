# The level tally starts and the pieces leave the board: an airy rising swoosh with a chime on top.
length 1.3
seed 24
noise band 400 1500 to 2500 8000 attack 0.35 decay 0.2 length 1.0 q 1.2 gain -4
tone voice chime note G5 decay 0.5 at 0.35 gain -6
tone voice chime note D6 decay 0.5 at 0.45 gain -9
