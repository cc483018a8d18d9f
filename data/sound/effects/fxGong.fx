# Spare: a soft temple gong, struck lightly.
length 3.0
seed 26
level -4
tone voice bell note A2 decay 1.2 bright 0.8 mallet -40
noise band 80 400 attack 0.02 decay 0.3 gain -24
