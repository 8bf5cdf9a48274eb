#pragma once

#include <QPixmap>
#include <QWidget>
#include <array>

#include "app/startup.h"
#include "forecast/forecasts.h"

class QLabel;

namespace ostavel {

// The form "Ostavel": a fixed window over the picture of six bears, its nine labels and four
// game buttons. It only builds the controls, writes captions and forwards button presses to
// the forecasts.
class OstavelWindow final : public QWidget, public Captions {
    Q_OBJECT

public:
    OstavelWindow(const Edition& edition, const WindowServices& services,
                  QWidget* parent = nullptr);

    void setCaption(Label label, std::string_view text) override;

    QLabel* label(Label which) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void addLabel(const layout::Control& control);
    void addButton(const layout::Control& control);
    const QPixmap& background();

    const Edition& edition_;
    Pacer pacer_;
    Forecasts forecasts_;
    std::array<QLabel*, 9> labels_{};
    QPixmap background_;
};

}  // namespace ostavel
