# Cascade pass 6: marimba C5, step 6 of a climb up the C major
# pentatonic scale, so that a long cascade plays a rising tune. From step 10 a chime an octave up
# joins in, a little brighter with every step.
length 1.1
seed 50
level -0.3
tone voice marimba note C5 decay 0.330 bright 0.98
