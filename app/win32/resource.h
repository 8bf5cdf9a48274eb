// Resource ids of the program file, shared by the resource script and the window.
#pragma once

#define OSTAVEL_ICON 1
#define OSTAVEL_PICTURE 101
#define OSTAVEL_PICTURE_2X 102
