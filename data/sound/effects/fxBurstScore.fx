# A burst at the score: a bright pop with a sprinkle of sparkles.
length 0.8
seed 40
thump note 900 to 220 decay 0.025
noise band 1500 6000 attack 0.002 decay 0.03 gain -8
tone voice glass note E7 decay 0.07 scatter 6 over 0.3 at 0.03 detune 4 vary 3 gain -8
