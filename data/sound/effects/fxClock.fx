# The clock: tick-tock on two wood blocks, then a small bell as time stops.
length 1.6
seed 16
tone voice wood note E6 decay 0.02 repeat 2 every 0.3
tone voice wood note A5 decay 0.022 at 0.15 repeat 2 every 0.3
tone voice bell note E5 decay 0.5 at 0.62 gain -6
