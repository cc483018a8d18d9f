# A lightning bolt: a sharper crack and a rolling rumble.
length 2.0
seed 36
crackle density 3500 band 2000 10000 length 0.22 thin 0.05 gain 1
noise band 35 250 attack 0.08 decay 0.55 length 1.9 flutter 6 0.7 gain -2
noise band 200 900 attack 0.01 decay 0.12 length 0.6 gain -10
