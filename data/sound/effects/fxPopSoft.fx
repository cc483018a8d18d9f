# Spare: a soft pop.
length 0.2
seed 41
level -4
thump note 600 to 200 decay 0.02
