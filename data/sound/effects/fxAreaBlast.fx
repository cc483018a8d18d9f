# Area blast: a muffled boom with a stone crack and a chime ringing out over it.
length 1.4
seed 10
thump note 160 to 45 decay 0.16
noise band 80 900 attack 0.004 decay 0.2 length 1.0 gain -4
crackle density 500 band 1200 6000 length 0.3 thin 0.08 gain -8
tone voice stone note D3 decay 0.08 gain -6
tone voice chime note D6 decay 0.45 gain -16 at 0.05
