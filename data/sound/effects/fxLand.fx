# A piece lands after falling. Many land at once, so it is short, low and soft: a muted wooden tock.
length 0.16
seed 1
level -8
tone voice wood note E4 decay 0.022 bright 0.6
thump note 180 to 110 decay 0.02 gain -6
