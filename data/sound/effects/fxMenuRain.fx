# The main menu's ambient clip: soft rain on the leaves of the temple garden, looped under the falling
# drops of the menu. Everything that runs past the end is folded onto the start, so it loops seamlessly.
kind ambient
channels 2
length 8.0
loop
seed 120
noise band 500 6000 swell 1.0 length 9.0 q 0.8 gain -8
noise band 120 500 swell 1.0 length 9.0 flutter 0.7 0.3 gain -14
noise band 3000 9000 attack 0.001 decay 0.006 scatter 600 over 8.0 vary 6 gain -4
drop note 1500 rise 1.4 decay 0.01 scatter 90 over 8.0 detune 6 vary 6 gain -12
