# Cascade pass 1: marimba C4, step 1 of a climb up the C major
# pentatonic scale, so that a long cascade plays a rising tune. From step 10 a chime an octave up
# joins in, a little brighter with every step.
length 1.1
seed 45
level -1.3
tone voice marimba note C4 decay 0.405 bright 0.83
