// Prints what the end-to-end test checks the window against, taken from the program's own
// tables, as one JSON object: by button name, each game's headline, least running time in
// seconds, how many numbers it shows from which range and whether they must all differ; and
// the first texts of the message and credit lines.
#include <iostream>

#include "app/windowlayout.h"
#include "editions/edition.h"

int main() {
    using namespace ostavel;
    const char* separator = "{";
    for (const layout::Control& control : layout::controls) {
        if (control.kind != layout::Kind::Button) {
            continue;
        }
        const Game& game = gameOf(control.button);
        std::string_view headline;
        for (const Step& step : game.script) {
            headline = step.kind == Step::Kind::Headline && headline.empty() ? step.text : headline;
        }
        std::cout << separator << '"' << control.name << "\": {\"headline\": \"" << headline
                  << "\", \"least\": "
                  << std::chrono::duration<double>(leastRunningTime(game)).count()
                  << ", \"count\": " << game.max << ", \"lowest\": " << game.lowerbound
                  << ", \"highest\": " << game.upperbound << ", \"distinct\": "
                  << (game.rejection == Rejection::AnyTwoEqual ? "true" : "false") << "}";
        separator = ", ";
    }
    std::cout << separator << "\"byline\": \"" << thisEdition.byline << "\", \"credit\": \""
              << thisEdition.creditLine << "\"}\n";
}
