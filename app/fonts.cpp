#include "app/fonts.h"

#include <QStringList>

namespace ostavel {

QFont pGothicFont(int pixelSize, QFont::Weight weight) {
    QFont font;
    font.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"),
                      QStringLiteral("Noto Sans CJK JP")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    return font;
}

QFont terminalFont(int pixelSize) {
    QFont font;
    font.setFamilies({QStringLiteral("Terminal"), QStringLiteral("DejaVu Sans Mono")});
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(pixelSize);
    font.setWeight(QFont::Bold);
    return font;
}

}  // namespace ostavel
