# Cascade pass 13: marimba E6, step 13 of a climb up the C major
# pentatonic scale, so that a long cascade plays a rising tune. From step 10 a chime an octave up
# joins in, a little brighter with every step.
length 1.1
seed 57
level 1.1
tone voice marimba note E6 decay 0.225 bright 1.19
tone voice chime note E7 decay 0.3 gain -14 at 0.004
