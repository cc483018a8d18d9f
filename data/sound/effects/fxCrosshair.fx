# Crosshair blast: a whoosh out in four directions with a two-note chime (a fifth).
length 1.0
seed 13
noise band 500 2000 to 3000 9000 attack 0.04 decay 0.25 length 0.8 q 1.4 gain -2
tone voice chime note E5 decay 0.35 gain -10 at 0.01
tone voice chime note B5 decay 0.35 gain -10 at 0.09
