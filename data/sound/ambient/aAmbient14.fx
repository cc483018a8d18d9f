# Katydids chirp in a steady rhythm, "ka-ty-did", from the trees.
kind ambient
channels 2
length 5.0
seed 114
pulse note 6200 rate 14 width 0.35 length 0.22 attack 0.005 decay 0.02 buzz 0.7 repeat 6 every 0.75 at 0.2 pan 0.3
pulse note 5800 rate 14 width 0.35 length 0.22 attack 0.005 decay 0.02 buzz 0.7 repeat 5 every 0.8 at 0.55 pan -0.5 gain -5
