# A button press: a crisp wooden click with a soft marimba note under it.
length 0.3
seed 7
level -3
tone voice wood note F5 decay 0.018
tone voice marimba note C5 decay 0.08 gain -6 at 0.004
