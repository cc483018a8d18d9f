# A sun bursts on a square (or reaches the console): a warm rising shimmer and a major chime.
length 1.8
seed 38
noise band 2000 6000 to 5000 10000 attack 0.2 decay 0.3 length 1.2 gain -16
tone voice glass note G5 decay 0.5 gain -4
tone voice chime note D6 decay 0.5 at 0.08 gain -6
tone voice chime note G6 decay 0.5 at 0.16 gain -8
tone voice glock note B6 decay 0.35 at 0.24 gain -10
