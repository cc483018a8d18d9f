# Time is running out: a clock ticking fast over a low pulse, looped until the level ends. Two ticks a
# second fold into a loop of exactly one second, so it repeats without a seam.
length 1.0
loop
seed 34
level -3
tone voice wood note E6 decay 0.018 repeat 2 every 0.5
tone voice wood note B5 decay 0.02 at 0.25 repeat 2 every 0.5 gain -3
thump note 70 to 50 decay 0.09 repeat 2 every 0.5 gain -2
thump note 70 to 50 decay 0.07 at 0.14 repeat 2 every 0.5 gain -8
