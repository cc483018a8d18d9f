# A bonus block breaks: a stone crack and a bright chime for the prize inside.
length 0.9
seed 29
tone voice stone note F3 decay 0.06
crackle density 1200 band 800 5000 length 0.12 thin 0.05 gain -4
noise band 200 2000 attack 0.002 decay 0.05 gain -8
tone voice chime note C6 decay 0.35 at 0.06 gain -6
