# The options' effects test clip: two marimba notes, so the player hears the level while setting it.
length 0.9
seed 60
tone voice marimba note G4 decay 0.25
tone voice marimba note C5 decay 0.3 at 0.18
