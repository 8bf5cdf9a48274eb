# The winter-scene edition: a snowy night, with dark grey text on the light snow.
set(EDITION_PICTURE snow)
set(EDITION_TEXT_COLOUR 64 64 64)
set(EDITION_VERSION 1.0.0.10)
set(EDITION_VERSION_TEXT 1.00.0010)
set(EDITION_SCENE "a snowy winter night")
