# A small bird trills: a quick run of notes, rising and then falling away.
kind ambient
channels 2
length 3.5
seed 102
sweep path 3200 4200 3600 length 0.06 shape swell repeat 14 every 0.07 step 0.5 at 0.4 jitter 0.004 vary 2 pan 0.5
sweep path 4600 3000 length 0.25 shape swell vibrato 30 0.6 at 1.45 pan 0.5 gain -2
