# A strike of the random blast: a short crackling thump where the lightning lands.
length 0.7
seed 11
thump note 130 to 50 decay 0.09
crackle density 1500 band 1500 9000 length 0.25 thin 0.06 gain -2
noise band 200 2500 attack 0.002 decay 0.08 length 0.5 gain -8
