# Spare: a seed-pod rattle.
length 0.5
seed 27
level -4
noise band 3000 9000 attack 0.002 decay 0.015 scatter 18 over 0.3 vary 4
