# Cascade pass 10: marimba A5, step 10 of a climb up the C major
# pentatonic scale, so that a long cascade plays a rising tune. From step 10 a chime an octave up
# joins in, a little brighter with every step.
length 1.1
seed 54
level 0.5
tone voice marimba note A5 decay 0.270 bright 1.10
tone voice chime note A6 decay 0.3 gain -20 at 0.004
