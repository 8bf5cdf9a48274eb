#include "app/web/pagewindow.h"

namespace ostavel::web {

PageWindow::PageWindow(const Edition& edition, const WindowServices& services)
    : edition_(edition),
      captions_(services.captions),
      random_(services.random),
      pacer_(services.clock, services.pump),
      forecasts_({services.captions, services.random, services.beeper, pacer_}) {}

void PageWindow::Form_Load() {
    captions_.setCaption(headline, "Ostavel");
    captions_.setCaption(messageLine, edition_.byline);
    random_.Randomize();
}

}  // namespace ostavel::web
