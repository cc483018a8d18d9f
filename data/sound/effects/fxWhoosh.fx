# Spare: a soft airy whoosh.
length 0.7
seed 17
level -4
noise band 300 1200 to 1200 5000 attack 0.2 decay 0.15 length 0.6 q 1.2
