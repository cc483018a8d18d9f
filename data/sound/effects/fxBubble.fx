# Spare: a single water bubble rising.
length 0.25
seed 5
level -5
drop note 700 rise 2.2 decay 0.03
