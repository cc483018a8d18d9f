# Cascade pass 2: marimba D4, step 2 of a climb up the C major
# pentatonic scale, so that a long cascade plays a rising tune. From step 10 a chime an octave up
# joins in, a little brighter with every step.
length 1.1
seed 46
level -1.1
tone voice marimba note D4 decay 0.390 bright 0.86
