# Spare: a soft glassy shimmer running down and up.
length 1.2
seed 9
level -5
tone voice glass note E7 decay 0.2 repeat 6 every 0.07 step -2 vary 2 gain -4
noise band 5000 10000 attack 0.2 decay 0.3 length 1.0 gain -26
