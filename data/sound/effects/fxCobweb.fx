# A cobweb tears away: a soft fibrous rip, then a falling silky swish.
length 0.6
seed 8
crackle density 900 band 2500 8000 length 0.18 thin 0.1 gain -4
noise band 3000 9000 to 800 2500 attack 0.02 decay 0.12 length 0.5 gain -10
tone voice glass note A6 decay 0.08 gain -22 at 0.03
