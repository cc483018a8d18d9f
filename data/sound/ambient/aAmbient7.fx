# A trickle of running water: many small bubbles over a soft wash.
kind ambient
channels 2
length 6.0
seed 107
noise band 300 2500 swell 1.5 length 6.0 flutter 3 0.5 gain -8
drop note 1400 rise 1.5 decay 0.012 scatter 160 over 5.2 at 0.4 detune 8 vary 5 gain -6
