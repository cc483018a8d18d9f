# Cascade pass 15 and every pass after it: marimba A6, step 15 of a climb up the C major
# pentatonic scale, so that a long cascade plays a rising tune. From step 10 a chime an octave up
# joins in, a little brighter with every step.
length 1.1
seed 59
level 1.5
tone voice marimba note A6 decay 0.195 bright 1.25
tone voice chime note A7 decay 0.3 gain -10 at 0.004
