# A swap that makes no match slides back: two falling, duller taps.
length 0.32
seed 20
tone voice wood note C5 decay 0.045 bright 0.6 gain -1
tone voice wood note G4 decay 0.05 bright 0.5 at 0.085 gain -2
noise band 1200 3500 to 600 2000 attack 0.01 decay 0.04 length 0.12 gain -24
