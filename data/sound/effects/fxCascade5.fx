# Cascade pass 5: marimba A4, step 5 of a climb up the C major
# pentatonic scale, so that a long cascade plays a rising tune. From step 10 a chime an octave up
# joins in, a little brighter with every step.
length 1.1
seed 49
level -0.5
tone voice marimba note A4 decay 0.345 bright 0.95
