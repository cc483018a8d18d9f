# Spare: a short sparkle of high glass pings.
length 0.7
seed 31
level -5
tone voice glass note C7 decay 0.06 scatter 7 over 0.35 detune 5 vary 4
