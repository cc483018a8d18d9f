# Two birds call and answer from either side of the clearing.
kind ambient
channels 2
length 5.0
seed 113
sweep path 2800 3300 length 0.12 shape swell harmonics 0.1 repeat 3 every 0.18 at 0.2 pan -0.7
sweep path 2500 3100 2700 length 0.2 shape swell harmonics 0.1 repeat 2 every 0.28 at 1.3 pan 0.7 gain -2
sweep path 2800 3300 length 0.12 shape swell harmonics 0.1 repeat 3 every 0.18 at 2.5 pan -0.7 gain -3
sweep path 2500 3100 2700 length 0.2 shape swell harmonics 0.1 repeat 2 every 0.28 at 3.6 pan 0.7 gain -5
