// The page's program: the edition's window over the portable core, for as long as the page is
// open. main is the only call the page ever makes into it.
#include "app/web/pagewindow.h"
#include "app/web/webservices.h"

int main() {
    using namespace ostavel;
    web::PageCaptions captions;
    SeededRandom random;
    web::PerformanceClock clock;
    web::PagePump pump(clock);
    web::WebAudioBeeper beeper;
    web::PageWindow window(thisEdition, captions, {random, clock, pump, beeper});
    pump.setHandler([&window](Button button) { window.click(button); });
    pump.run();
}
