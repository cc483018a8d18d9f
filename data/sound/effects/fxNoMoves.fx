# No more moves: three falling marimba notes, a gentle "oh".
length 1.5
seed 18
tone voice marimba note E5 decay 0.3
tone voice marimba note C5 decay 0.3 at 0.22
tone voice marimba note A4 decay 0.5 at 0.44
tone voice marimba note E4 decay 0.5 at 0.44 gain -8
