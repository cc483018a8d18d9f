# Spare: a small high wooden tick.
length 0.12
seed 4
level -6
tone voice wood note B5 decay 0.015
