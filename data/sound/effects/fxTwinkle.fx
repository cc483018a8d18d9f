# Spare: a tiny twinkle of two glass chimes.
length 0.8
seed 6
level -6
tone voice glass note E7 decay 0.12
tone voice glass note B6 decay 0.15 at 0.06 gain -3
