# The dragonfly takes off: a flutter of wings and a light whoosh that lifts.
length 1.0
seed 15
pulse note 180 rate 28 width 0.6 length 0.8 attack 0.08 decay 0.3 buzz 0.8 gain -4
noise band 600 2500 to 1500 6000 attack 0.15 decay 0.25 length 0.9 flutter 28 0.7 gain -6
sweep path 400 900 length 0.6 shape swell gain -22
