# Cascade pass 7: marimba D5, step 7 of a climb up the C major
# pentatonic scale, so that a long cascade plays a rising tune. From step 10 a chime an octave up
# joins in, a little brighter with every step.
length 1.1
seed 51
level -0.1
tone voice marimba note D5 decay 0.315 bright 1.01
