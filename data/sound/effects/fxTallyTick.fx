# The time bonus counts up, one tick every few frames: short and bright, never tiring.
length 0.15
seed 32
level -6
tone voice glock note E6 decay 0.035
tone voice wood note E6 decay 0.01 gain -10
