# The winter-scene edition: a snowy night, with dark grey text on the light snow.
set(EDITION_PICTURE snow)
set(EDITION_TEXT_COLOUR 64 64 64)
# Where its bears stand, for the desktop entry and the package (the Japanese ends in the
# particle the entry's sentence needs), and its name in Japanese.
set(EDITION_SCENE "a snowy winter night")
set(EDITION_SCENE_JA "雪の降る冬の夜に")
set(EDITION_NAME_JA "スノー")
# Its Windows installer's upgrade code: the same for every version of this edition, so a later
# version replaces an earlier one. Never change it.
set(EDITION_UPGRADE_CODE 09E34515-7796-41D6-AF10-86C16EE74269)
