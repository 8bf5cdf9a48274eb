#include "app/ostavelwindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>

#include "app/fonts.h"
#include "app/gamebutton.h"
#include "app/layout.h"

namespace ostavel {

namespace {

// The credit line is part of the window's description; nothing writes it at run time.
constexpr const char* creditText = "作者: Tovaine　連絡先: tovaine@example.com";

QColor toColor(Rgb rgb) {
    return QColor(rgb.red, rgb.green, rgb.blue);
}

void setTextColour(QLabel* label, const QColor& colour) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// The number labels are opaque boxes in the text-area colours, white and black by default, so
// on the white bubbles they do not show as boxes.
void makeOpaque(QLabel* label) {
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Base));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::Text));
    label->setPalette(palette);
    label->setAutoFillBackground(true);
}

}  // namespace

OstavelWindow::OstavelWindow(const Edition& edition, const WindowServices& services,
                             QWidget* parent)
    : QWidget(parent),
      random_(services.random),
      pacer_(services.clock, services.pump),
      forecasts_({*this, services.random, services.beeper, pacer_}) {
    setObjectName(QStringLiteral("Ostavel"));
    setWindowTitle(QStringLiteral("Ostavel★"));
    setWindowIcon(QIcon(QStringLiteral(":/ostavel/icon-32.png")));
    setFixedSize(layout::clientSize);
    createLabels(edition);
    createButtons();
    Form_Load();
}

QLabel* OstavelWindow::addLabel(Label which, const QRect& geometry, Qt::Alignment alignment) {
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("Label%1").arg(static_cast<int>(which)));
    label->setGeometry(geometry);
    // Text is laid out from the top of the box, as the bubbles and lines were drawn for.
    label->setAlignment(alignment | Qt::AlignTop);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setFocusPolicy(Qt::NoFocus);
    labels_[static_cast<std::size_t>(static_cast<int>(which) - 1)] = label;
    return label;
}

void OstavelWindow::createLabels(const Edition& edition) {
    for (int p = 1; p <= positionCount; ++p) {
        QLabel* number = addLabel(numberLabel(p), layout::numberLabelGeometry(p), Qt::AlignHCenter);
        number->setFont(terminalFont(16));
        makeOpaque(number);
    }
    const QColor editionColour = toColor(edition.textColour);

    QLabel* message = addLabel(Label::Label7, layout::messageLineGeometry, Qt::AlignHCenter);
    message->setFont(pGothicFont(13, QFont::Normal));
    setTextColour(message, editionColour);

    QLabel* title = addLabel(Label::Label8, layout::headlineGeometry, Qt::AlignHCenter);
    title->setFont(pGothicFont(21, QFont::Bold));
    setTextColour(title, QColor(255, 255, 192));

    QLabel* credit = addLabel(Label::Label9, layout::creditLineGeometry, Qt::AlignLeft);
    setTextColour(credit, editionColour);
    credit->setText(QString::fromUtf8(creditText));
}

void OstavelWindow::createButtons() {
    // Made after the labels, so they are drawn above the message line where its box overlaps
    // the top of two of them.
    QWidget* previous = nullptr;
    for (const layout::ButtonPlace& place : layout::buttons) {
        auto* button = new GameButton(QString::fromUtf8(place.caption), this);
        button->setObjectName(QString::fromLatin1(place.name));
        button->setGeometry(place.geometry);
        connect(button, &QPushButton::clicked, this, [this, which = place.button] {
            switch (which) {
                case layout::Button::miniroto:
                    forecasts_.miniroto_Click(0);
                    break;
                case layout::Button::roto6:
                    forecasts_.roto6_Click();
                    break;
                case layout::Button::Numbers3:
                    forecasts_.Numbers3_Click();
                    break;
                case layout::Button::Numbers4:
                    forecasts_.Numbers4_Click();
                    break;
            }
        });
        if (previous != nullptr) {
            setTabOrder(previous, button);
        } else {
            button->setFocus();
        }
        previous = button;
    }
}

void OstavelWindow::Form_Load() {
    setCaption(headline, "Ostavel");
    setCaption(messageLine, "by Tovaine");
    random_.Randomize();
}

QLabel* OstavelWindow::label(Label which) const {
    return labels_[static_cast<std::size_t>(static_cast<int>(which) - 1)];
}

void OstavelWindow::setCaption(Label which, std::string_view text) {
    label(which)->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

const QPixmap& OstavelWindow::background() {
    // The 2x picture keeps the bears crisp on a high-resolution screen.
    const bool highResolution = devicePixelRatioF() > 1.0;
    if (background_.isNull() || (background_.devicePixelRatio() > 1.0) != highResolution) {
        background_.load(highResolution ? QStringLiteral(":/ostavel/background@2x.png")
                                        : QStringLiteral(":/ostavel/background.png"));
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
