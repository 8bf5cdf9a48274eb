# The stage-scene edition: a red curtain, with white text over the dark floor and audience.
set(EDITION_PICTURE stage)
set(EDITION_TEXT_COLOUR 255 255 255)
# Where its bears stand, for the desktop entry and the package (the Japanese ends in the
# particle the entry's sentence needs), and its name in Japanese.
set(EDITION_SCENE "a theatre stage")
set(EDITION_SCENE_JA "劇場の舞台で")
set(EDITION_NAME_JA "ステージ")
# Its Windows installer's upgrade code: the same for every version of this edition, so a later
# version replaces an earlier one. Never change it.
set(EDITION_UPGRADE_CODE E3EEBD17-94A7-4FA7-8B07-9348B94DBA56)
