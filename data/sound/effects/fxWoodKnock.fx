# Spare: a hollow wooden knock.
length 0.3
seed 44
level -4
tone voice wood note D4 decay 0.05 bright 0.7
