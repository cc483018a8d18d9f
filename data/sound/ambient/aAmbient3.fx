# A bird calls in chirps that fall step by step.
kind ambient
channels 2
length 3.5
seed 103
sweep path 3800 3000 length 0.09 shape swell harmonics 0.1 repeat 6 every 0.16 step -1.5 fade -1 at 0.3 pan -0.6
sweep path 3400 2700 length 0.09 shape swell harmonics 0.1 repeat 4 every 0.16 step -1.5 fade -1 at 2.0 pan -0.6 gain -5
