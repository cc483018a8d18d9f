# Spare: a kalimba pluck.
length 0.9
seed 25
level -3
tone voice kalimba note G5 decay 0.3
