# Spare: a single water drop falling into a pool.
length 0.4
seed 19
level -4
drop note 1100 rise 1.8 decay 0.035
drop note 1900 rise 1.3 decay 0.015 at 0.05 gain -12
