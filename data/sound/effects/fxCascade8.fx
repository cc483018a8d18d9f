# Cascade pass 8: marimba E5, step 8 of a climb up the C major
# pentatonic scale, so that a long cascade plays a rising tune. From step 10 a chime an octave up
# joins in, a little brighter with every step.
length 1.1
seed 52
level 0.1
tone voice marimba note E5 decay 0.300 bright 1.04
