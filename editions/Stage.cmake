# The stage-scene edition: a red curtain, with white text over the dark floor and audience.
set(EDITION_PICTURE stage)
set(EDITION_TEXT_COLOUR 255 255 255)
set(EDITION_VERSION 1.0.0.11)
set(EDITION_VERSION_TEXT 1.00.0011)
set(EDITION_SCENE "a theatre stage")
