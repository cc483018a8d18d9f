# Row or column blast: the beams fly off with a whoosh that rises, and a bright note that follows them.
length 0.9
seed 12
noise band 400 1500 to 2500 8000 attack 0.05 decay 0.25 length 0.8 q 1.5 gain -2
sweep path A4 E5 A5 length 0.45 shape swell harmonics 0.3 0.1 gain -14
tone voice chime note A5 decay 0.2 gain -16 at 0.02
