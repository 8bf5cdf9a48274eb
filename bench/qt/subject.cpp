// The benchmark's subject on Qt: the Ostavel window, the bare window, and the floor's replay on
// QTimer, as the Linux programs run them.
#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <memory>

#include "app/qt/ostavelwindow.h"
#include "app/qt/qtservices.h"
#include "bench/subject.h"

namespace ostavel::bench {

namespace {

// Ends a loop once the widget it filters has been painted: when the event loop next turns
// after the first paint event, the window and every control are drawn.
class PaintWatcher final : public QObject {
public:
    explicit PaintWatcher(QEventLoop& loop) : loop_(loop) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            QTimer::singleShot(0, &loop_, &QEventLoop::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QEventLoop& loop_;
};

void showPainted(QWidget& window) {
    QEventLoop loop;
    PaintWatcher watcher(loop);
    window.installEventFilter(&watcher);
    window.show();
    loop.exec();
    window.removeEventFilter(&watcher);
}

class QtToolkit final : public Toolkit {
public:
    Clock& clock() override { return clock_; }
    EventPump& pump() override { return pump_; }

    void showOstavel(EventPump& pump, Beeper& beeper) override {
        ostavel_ = std::make_unique<OstavelWindow>(thisEdition,
                                                   WindowServices{random_, clock_, pump, beeper});
        showPainted(*ostavel_);
    }

    void showBare() override {
        bare_ = std::make_unique<QWidget>();
        bare_->setFixedSize(layout::pixels(layout::clientArea).width,
                            layout::pixels(layout::clientArea).height);
        new QLabel(QStringLiteral("ロト6の予想です"), bare_.get());
        showPainted(*bare_);
    }

    void click(const layout::Control& button) override {
        const auto name =
            QString::fromUtf8(button.name.data(), static_cast<qsizetype>(button.name.size()));
        ostavel_->findChild<QPushButton*>(name)->click();
    }

    void replay(const Timeline& timeline) override {
        QEventLoop loop;
        QTimer timer;
        timer.setSingleShot(true);
        timer.setTimerType(Qt::PreciseTimer);
        const Timer start = clock_.GetTimer();
        std::size_t next = 0;
        // Each shot writes what is due and sets the timer for the next write, or the end.
        const auto schedule = [&] {
            const Timer due =
                next < timeline.writes.size() ? timeline.writes[next].at : timeline.end;
            timer.start(std::chrono::ceil<std::chrono::milliseconds>(
                std::max(Timer{}, start + due - clock_.GetTimer())));
        };
        QObject::connect(&timer, &QTimer::timeout, [&] {
            const Timer now = clock_.GetTimer() - start;
            for (; next < timeline.writes.size() && timeline.writes[next].at <= now; ++next) {
                ostavel_->setCaption(timeline.writes[next].label, timeline.writes[next].text);
            }
            now >= timeline.end ? loop.quit() : schedule();
        });
        schedule();
        loop.exec();
    }

private:
    SteadyClock clock_;
    QtEventPump pump_{clock_};
    SeededRandom random_;
    std::unique_ptr<OstavelWindow> ostavel_;
    std::unique_ptr<QWidget> bare_;
};

}  // namespace

}  // namespace ostavel::bench

int main(int argc, char* argv[]) {
    const QApplication application(argc, argv);
    ostavel::bench::QtToolkit toolkit;
    return ostavel::bench::runSubject({argv, static_cast<std::size_t>(argc)}, toolkit);
}
