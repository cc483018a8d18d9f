# Cascade pass 12: marimba D6, step 12 of a climb up the C major
# pentatonic scale, so that a long cascade plays a rising tune. From step 10 a chime an octave up
# joins in, a little brighter with every step.
length 1.1
seed 56
level 0.9
tone voice marimba note D6 decay 0.240 bright 1.16
tone voice chime note D7 decay 0.3 gain -16 at 0.004
