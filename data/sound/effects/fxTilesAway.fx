# The tiles turn over at the end of a level: a rolling wooden ripple, stepping down a pentatonic scale.
length 1.6
seed 28
tone voice wood note A6 decay 0.025 repeat 5 every 0.06 step -2 gain -3
tone voice wood note E6 decay 0.025 at 0.3 repeat 5 every 0.06 step -3 gain -4
tone voice marimba note A4 decay 0.35 at 0.62 gain -4
