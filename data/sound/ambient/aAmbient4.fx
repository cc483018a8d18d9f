# Cicadas swell and fade in the heat, far off in the canopy.
kind ambient
channels 2
length 7.0
seed 104
pulse note 5200 rate 140 width 0.5 length 6.0 attack 2.0 decay 2.5 buzz 0.9 at 0.3 pan -0.3
pulse note 4700 rate 120 width 0.5 length 4.5 attack 1.5 decay 2.0 buzz 0.9 at 1.5 pan 0.5 gain -4
