# A large drop falls from a leaf into water, and the ripples settle.
kind ambient
channels 2
length 3.0
seed 111
drop note 500 rise 2.0 decay 0.06 at 0.3
noise band 400 3000 attack 0.002 decay 0.05 at 0.3 gain -10
drop note 1300 rise 1.4 decay 0.015 scatter 8 over 0.5 at 0.35 detune 4 gain -10
