# A burst where the player clicked: a soft pop with one sparkle.
length 0.6
seed 42
thump note 700 to 180 decay 0.022
noise band 1200 5000 attack 0.002 decay 0.025 gain -10
tone voice glass note C7 decay 0.1 at 0.03 gain -8
