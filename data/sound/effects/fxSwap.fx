# Two pieces trade places: two quick wooden taps, the second a fourth higher.
length 0.32
seed 19
tone voice wood note G4 decay 0.05 gain -2
tone voice wood note C5 decay 0.05 at 0.075 gain -1
noise band 1800 5000 to 3000 7000 attack 0.01 decay 0.04 length 0.12 gain -22
