# Cascade pass 14: marimba G6, step 14 of a climb up the C major
# pentatonic scale, so that a long cascade plays a rising tune. From step 10 a chime an octave up
# joins in, a little brighter with every step.
length 1.1
seed 58
level 1.3
tone voice marimba note G6 decay 0.210 bright 1.22
tone voice chime note G7 decay 0.3 gain -12 at 0.004
