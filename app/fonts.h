#pragma once

#include <QFont>

namespace ostavel {

// Fonts are set by pixel size, so the layout does not depend on the screen's resolution.

// The proportional Japanese gothic of the headline and the message line. The Windows face is
// tried first, then IPA's P Gothic, which has the same metrics, then Noto Sans CJK.
QFont pGothicFont(int pixelSize, QFont::Weight weight);

// The bold fixed-pitch face of the number labels, in place of the Windows "Terminal" font.
QFont terminalFont(int pixelSize);

}  // namespace ostavel
