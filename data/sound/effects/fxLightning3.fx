# A lightning bolt further off: a softer crack and a long, low rumble.
length 2.4
seed 37
crackle density 1800 band 1000 6000 length 0.25 thin 0.09 gain -6
noise band 30 200 attack 0.15 decay 0.7 length 2.3 flutter 5 0.7
thump note 80 to 35 decay 0.25 at 0.1 gain -6
