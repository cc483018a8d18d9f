# Cascade pass 4: marimba G4, step 4 of a climb up the C major
# pentatonic scale, so that a long cascade plays a rising tune. From step 10 a chime an octave up
# joins in, a little brighter with every step.
length 1.1
seed 48
level -0.7
tone voice marimba note G4 decay 0.360 bright 0.92
