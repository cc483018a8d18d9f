# Colour blast: every piece of one colour goes at once: chimes climbing a pentatonic run over a shimmer.
length 1.6
seed 14
tone voice glock note C6 decay 0.2 at 0.0 gain -10
tone voice glock note D6 decay 0.2 at 0.055 gain -10
tone voice glock note E6 decay 0.2 at 0.11 gain -10
tone voice glock note G6 decay 0.2 at 0.165 gain -10
tone voice glock note A6 decay 0.2 at 0.22 gain -9
tone voice glock note C7 decay 0.25 at 0.275 gain -8
tone voice glock note D7 decay 0.3 at 0.33 gain -8
tone voice glock note E7 decay 0.4 at 0.385 gain -7
noise band 4000 10000 attack 0.1 decay 0.35 length 1.2 gain -24
