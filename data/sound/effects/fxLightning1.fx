# A lightning bolt: a crack and a short rumble.
length 1.6
seed 35
crackle density 2500 band 1500 9000 length 0.3 thin 0.07
noise band 40 300 attack 0.05 decay 0.4 length 1.5 flutter 9 0.6 gain -2
thump note 110 to 40 decay 0.15 gain -4
