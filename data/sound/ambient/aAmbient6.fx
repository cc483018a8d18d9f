# Water drips into a still pool, slow and uneven.
kind ambient
channels 2
length 5.0
seed 106
drop note 900 rise 1.7 decay 0.04 at 0.2 pan -0.2
drop note 1300 rise 1.5 decay 0.03 at 1.1 pan 0.3 gain -3
drop note 800 rise 1.8 decay 0.045 at 1.9 pan -0.1
drop note 1150 rise 1.6 decay 0.035 at 3.0 pan 0.2 gain -2
drop note 950 rise 1.7 decay 0.04 at 3.7 pan -0.3 gain -4
