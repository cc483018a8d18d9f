# The last bonus pick is used: a chime phrase that steps down and settles on the home note.
length 2.2
seed 43
tone voice chime note G6 decay 0.35
tone voice chime note E6 decay 0.35 at 0.16
tone voice chime note D6 decay 0.35 at 0.32
tone voice chime note C6 decay 0.8 at 0.48
tone voice marimba note C4 decay 0.6 at 0.48 gain -4
