# A long, soft breeze.
kind ambient
channels 2
length 9.0
seed 112
noise band 150 700 to 250 1000 swell 3.5 length 9.0 flutter 0.8 0.5 q 1.5
noise band 1500 5000 swell 3.5 length 8.0 flutter 4 0.7 at 0.6 gain -12 pan 0.4
