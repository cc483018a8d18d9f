# Cascade pass 3: marimba E4, step 3 of a climb up the C major
# pentatonic scale, so that a long cascade plays a rising tune. From step 10 a chime an octave up
# joins in, a little brighter with every step.
length 1.1
seed 47
level -0.9
tone voice marimba note E4 decay 0.375 bright 0.89
