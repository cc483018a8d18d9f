# A bird whistles two notes, a pause, then answers itself a little lower.
kind ambient
channels 2
length 4.0
seed 101
sweep path 2300 2600 2500 length 0.32 shape swell harmonics 0.08 at 0.3 pan -0.4
sweep path 1900 1800 length 0.45 shape swell harmonics 0.08 at 0.7 pan -0.4
sweep path 2150 2400 2300 length 0.3 shape swell harmonics 0.08 at 2.1 pan -0.4 gain -3
sweep path 1750 1650 length 0.5 shape swell harmonics 0.08 at 2.45 pan -0.4 gain -3
