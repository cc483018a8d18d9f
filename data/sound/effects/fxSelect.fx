# A piece is picked: a light, high marimba tick.
length 0.35
seed 3
level -4
tone voice marimba note G5 decay 0.09 bright 1.1
tone voice wood note D6 decay 0.012 gain -14
