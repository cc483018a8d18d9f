# An insect buzzes past from left to right.
kind ambient
channels 2
length 3.5
seed 110
pulse note 230 rate 230 width 0.7 length 1.3 attack 0.5 decay 0.6 buzz 0.3 at 0.3 pan -0.8
pulse note 220 rate 220 width 0.7 length 1.3 attack 0.4 decay 0.6 buzz 0.3 at 1.1 pan 0.8 gain -2
