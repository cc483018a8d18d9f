# Cascade pass 11: marimba C6, step 11 of a climb up the C major
# pentatonic scale, so that a long cascade plays a rising tune. From step 10 a chime an octave up
# joins in, a little brighter with every step.
length 1.1
seed 55
level 0.7
tone voice marimba note C6 decay 0.255 bright 1.13
tone voice chime note C7 decay 0.3 gain -18 at 0.004
