# The biggest points prize: a quick chime run up and a bell that rings out.
length 2.2
seed 30
tone voice glock note C6 decay 0.25 gain -6
tone voice glock note E6 decay 0.25 at 0.07 gain -6
tone voice glock note G6 decay 0.25 at 0.14 gain -6
tone voice glock note C7 decay 0.35 at 0.21 gain -5
tone voice bell note C5 decay 0.7 at 0.28
tone voice chime note G5 decay 0.6 at 0.28 gain -8
