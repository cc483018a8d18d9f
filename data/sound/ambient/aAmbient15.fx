# Leaves rustle in a passing wind: crisp bursts over a soft gust.
kind ambient
channels 2
length 5.0
seed 115
noise band 300 1200 swell 1.8 length 5.0 flutter 2 0.6 gain -6
noise band 2500 8000 attack 0.01 decay 0.04 scatter 70 over 3.6 at 0.6 vary 6 gain -4
