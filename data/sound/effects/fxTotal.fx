# The total score is shown: a warm chord of chimes over a marimba root.
length 2.0
seed 33
tone voice marimba note C4 decay 0.6
tone voice chime note E5 decay 0.6 at 0.01 gain -4
tone voice chime note G5 decay 0.6 at 0.03 gain -5
tone voice chime note C6 decay 0.6 at 0.05 gain -6
tone voice glass note E6 decay 0.5 at 0.07 gain -12
