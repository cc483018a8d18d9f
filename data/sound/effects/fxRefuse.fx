# A refused click: two dull, low knocks close together, saying "not this one" without scolding.
length 0.3
seed 2
level -3
tone voice wood note A3 decay 0.035 bright 0.4 repeat 2 every 0.09 fade -3
thump note 140 to 90 decay 0.03 gain -8 repeat 2 every 0.09
