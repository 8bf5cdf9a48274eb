#include "app/qt/ostavelwindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QResource>
#include <algorithm>

#include "app/qt/gamebutton.h"

namespace ostavel {

namespace {

QString toQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QRect toQRect(layout::Twips place) {
    const layout::Pixels p = layout::pixels(place);
    return {p.left, p.top, p.width, p.height};
}

QColor toQColor(layout::Rgb rgb) {
    return {rgb.red, rgb.green, rgb.blue};
}

// Set by pixel size, so the layout does not depend on the screen's resolution. A font with no
// faces of its own is the toolkit's label font.
void applyFont(QLabel* label, const layout::Font& font) {
    if (font.faces.empty()) {
        return;
    }
    QFont qfont;
    QStringList families;
    for (std::string_view face : font.faces) {
        families << toQString(face);
    }
    qfont.setFamilies(families);
    qfont.setStyleHint(font.fixedPitch ? QFont::TypeWriter : QFont::SansSerif);
    qfont.setFixedPitch(font.fixedPitch);
    qfont.setPixelSize(font.pixelSize);
    qfont.setWeight(font.bold ? QFont::Bold : QFont::Normal);
    label->setFont(qfont);
}

// The system-coloured labels are opaque boxes in the text-area colours, white and black by
// default, so on the white bubbles they do not show as boxes.
void applyInk(QLabel* label, const layout::Control& control, const Edition& edition) {
    QPalette palette = label->palette();
    switch (control.ink) {
        case layout::Ink::SystemText:
            palette.setColor(QPalette::WindowText, palette.color(QPalette::Text));
            break;
        case layout::Ink::Edition:
            palette.setColor(QPalette::WindowText, toQColor(edition.textColour));
            break;
        case layout::Ink::PaleYellow:
            palette.setColor(QPalette::WindowText, toQColor(layout::paleYellow));
            break;
    }
    if (control.opaque) {
        palette.setColor(QPalette::Window, palette.color(QPalette::Base));
        label->setAutoFillBackground(true);
    }
    label->setPalette(palette);
}

// A picture as the build stores it: a binary PPM ("P6\n<width> <height>\n255\n", then its RGB
// rows), uncompressed, so that its pixels are used where they lie.
QImage picture(const QString& path) {
    const QResource resource(path);
    const auto* data = reinterpret_cast<const char*>(resource.data());
    const QList<QByteArray> header =
        QByteArray(data, std::min<qint64>(resource.size(), 32)).split('\n');
    const QList<QByteArray> size = header.value(1).split(' ');
    const int width = size.value(0).toInt();
    const int height = size.value(1).toInt();
    const qsizetype offset =
        header.value(0).size() + header.value(1).size() + header.value(2).size() + 3;
    if (header.value(0) != "P6" || header.value(2) != "255" ||
        resource.size() != offset + qint64{width} * height * 3) {
        return QImage(path);
    }
    return QImage(reinterpret_cast<const uchar*>(data) + offset, width, height, width * 3,
                  QImage::Format_RGB888);
}

}  // namespace

OstavelWindow::OstavelWindow(const Edition& edition, const WindowServices& services,
                             QWidget* parent)
    : QWidget(parent),
      edition_(edition),
      pacer_(services.clock, services.pump),
      forecasts_({*this, services.random, services.beeper, pacer_}) {
    setObjectName(toQString(layout::windowName));
    setWindowTitle(toQString(layout::title));
    setWindowIcon(QIcon(QPixmap::fromImage(picture(QStringLiteral(":/ostavel/icon")))));
    // A fixed window offers no maximise button, whichever decoration draws its frame.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setFixedSize(toQRect(layout::clientArea).size());
    // Made in tab order, so the focus chain is the table's.
    for (const layout::Control& control : layout::controls) {
        if (control.kind == layout::Kind::Button) {
            addButton(control);
        } else {
            addLabel(control);
        }
    }
    // Above every label: the message line's box overlaps the tops of two buttons.
    for (GameButton* button : findChildren<GameButton*>()) {
        button->raise();
    }
    Form_Load(*this, services.random, edition);
}

void OstavelWindow::addLabel(const layout::Control& control) {
    auto* label = new QLabel(toQString(initialText(control, edition_)), this);
    label->setObjectName(toQString(control.name));
    label->setGeometry(toQRect(control.place));
    // Text is laid out from the top of the box, as the bubbles and lines were drawn for.
    const Qt::Alignment horizontal =
        control.align == layout::Align::Centre ? Qt::AlignHCenter : Qt::AlignLeft;
    label->setAlignment(horizontal | Qt::AlignTop);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setFocusPolicy(Qt::NoFocus);
    applyFont(label, control.font);
    applyInk(label, control, edition_);
    labels_[static_cast<std::size_t>(static_cast<int>(control.label) - 1)] = label;
}

void OstavelWindow::addButton(const layout::Control& control) {
    auto* button = new GameButton(toQString(control.text), this);
    button->setObjectName(toQString(control.name));
    button->setGeometry(toQRect(control.place));
    connect(button, &QPushButton::clicked, this,
            [this, button = control.button] { forecasts_.click(button); });
    if (control.button == Button::miniroto) {
        button->setFocus();
    }
}

QLabel* OstavelWindow::label(Label which) const {
    return labels_[static_cast<std::size_t>(static_cast<int>(which) - 1)];
}

void OstavelWindow::setCaption(Label which, std::string_view text) {
    label(which)->setText(toQString(text));
}

const QPixmap& OstavelWindow::background() {
    // The 2x picture keeps the bears crisp on a high-resolution screen.
    const bool highResolution = devicePixelRatioF() > 1.0;
    if (background_.isNull() || (background_.devicePixelRatio() > 1.0) != highResolution) {
        background_ =
            QPixmap::fromImage(picture(highResolution ? QStringLiteral(":/ostavel/background@2x")
                                                      : QStringLiteral(":/ostavel/background")));
        background_.setDevicePixelRatio(highResolution ? 2.0 : 1.0);
    }
    return background_;
}

void OstavelWindow::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, background());
}

void OstavelWindow::closeEvent(QCloseEvent* event) {
    // Forecasts still running, at any depth, end at their next wait and write nothing more.
    pacer_.stop();
    event->accept();
}

}  // namespace ostavel
