# Cascade pass 9: marimba G5, step 9 of a climb up the C major
# pentatonic scale, so that a long cascade plays a rising tune. From step 10 a chime an octave up
# joins in, a little brighter with every step.
length 1.1
seed 53
level 0.3
tone voice marimba note G5 decay 0.285 bright 1.07
