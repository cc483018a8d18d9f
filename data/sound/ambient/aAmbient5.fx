# Crickets chirp: three-pulse chirps, two crickets a little out of step.
kind ambient
channels 2
length 5.0
seed 105
pulse note 4400 rate 30 width 0.5 length 0.1 attack 0.005 decay 0.01 repeat 12 every 0.38 jitter 0.01 vary 1 pan -0.5 at 0.2
pulse note 4900 rate 34 width 0.5 length 0.09 attack 0.005 decay 0.01 repeat 10 every 0.43 jitter 0.01 vary 1 pan 0.6 at 0.5 gain -4
