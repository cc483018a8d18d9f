# Spare: a tap on carved stone.
length 0.25
seed 39
level -4
tone voice stone note C4 decay 0.04
