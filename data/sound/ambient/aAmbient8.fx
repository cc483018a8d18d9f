# A gust of wind moves through the leaves and dies down.
kind ambient
channels 2
length 6.0
seed 108
noise band 200 900 to 400 1500 swell 2.5 length 6.0 flutter 1.5 0.6 q 1.2 pan -0.2
noise band 2500 7000 swell 2.5 length 5.5 flutter 8 0.8 at 0.4 gain -10 pan 0.3
