# The pieces drop in at the start of a level: a rippling run of soft wood taps, falling into place.
length 1.8
seed 23
tone voice wood note C6 decay 0.03 repeat 14 every 0.085 step -1 jitter 0.012 vary 2 gain -4
tone voice marimba note C4 decay 0.4 at 1.2 gain -6
tone voice marimba note G4 decay 0.4 at 1.2 gain -8
