# A dove coos: soft low hoots, the last one drawn out.
kind ambient
channels 2
length 4.5
seed 109
sweep path 480 560 520 length 0.35 shape swell harmonics 0.25 0.05 at 0.3 pan 0.4
sweep path 520 600 560 length 0.25 shape swell harmonics 0.25 0.05 at 0.8 pan 0.4
sweep path 500 580 540 480 length 0.7 shape swell harmonics 0.25 0.05 at 1.2 pan 0.4
sweep path 480 560 520 length 0.35 shape swell harmonics 0.25 0.05 at 2.6 pan 0.4 gain -3
