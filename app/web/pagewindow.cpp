#include "app/web/pagewindow.h"

namespace ostavel::web {

PageWindow::PageWindow(const Edition& edition, Captions& captions, const WindowServices& services)
    : pacer_(services.clock, services.pump),
      forecasts_({captions, services.random, services.beeper, pacer_}) {
    // The page was built with the texts this writes, so they stand from the first paint, long
    // before the program has loaded.
    Form_Load(captions, services.random, edition);
}

}  // namespace ostavel::web
