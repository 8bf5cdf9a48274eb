# The winter-scene edition: a snowy night, dark grey text on the light snow.
set(EDITION_PICTURE snow)
set(EDITION_TEXT_COLOUR 64 64 64)
