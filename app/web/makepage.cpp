// Writes an edition's page from the window table, when the page is built: index.html with the
// thirteen controls in tab order and the texts the window opens with, ostavel.css with their
// places, fonts and colours, and for each font the page ships the text it has to show, for
// the fonts to be cut down to those glyphs.
//
// The page is made here rather than by the program at start, so that the whole window, with
// its first texts, stands at the first paint, before the program has even loaded, and reads
// the same to a screen reader or a browser without scripts.
//
// usage: makepage PAGE GLYPHS PICTURE
//   PAGE, GLYPHS: the folders to write the page and the glyph lists into
//   PICTURE: the edition's picture at 1x, in PAGE, e.g. snow.png; its 2x one beside it

#include <array>
#include <fstream>
#include <iostream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/startup.h"
#include "remarks/remarks.h"

namespace ostavel::web {

namespace {

// The faces the page carries, cut from Debian's M+ fonts. Size in CSS px: the window's pixels.
struct WebFont {
    std::string_view file;  // under fonts/, .woff2
    std::string_view family;
    int weight;
};
constexpr WebFont gothic{"mplus1-regular", "M PLUS 1", 400};
constexpr WebFont gothicBold{"mplus1-bold", "M PLUS 1", 700};
constexpr WebFont digits{"mplus1code-bold", "M PLUS 1 Code", 700};
constexpr std::array<const WebFont*, 3> webFonts{&gothic, &gothicBold, &digits};
// Of the buttons and of a label with no face of its own: the desktop's 9-point message font.
constexpr int defaultPixelSize = 12;

const WebFont& webFont(const layout::Font& font) {
    if (font.fixedPitch) {
        return digits;
    }
    return font.bold ? gothicBold : gothic;
}

// The captions the start-up writes, for the page to open with.
class Recorder final : public Captions {
public:
    void setCaption(Label label, std::string_view text) override {
        texts[static_cast<std::size_t>(label)] = text;
        written[static_cast<std::size_t>(label)] = true;
    }

    std::array<std::string, 10> texts;  // by label number, 1 to 9
    std::array<bool, 10> written{};
};

// A PNG's width and height, from its header.
layout::Pixels pictureSize(const std::string& path) {
    std::ifstream png(path, std::ios::binary);
    std::vector<unsigned char> header(24);
    png.read(reinterpret_cast<char*>(header.data()), 24);
    const auto word = [&](std::size_t at) {
        return header[at] << 24 | header[at + 1] << 16 | header[at + 2] << 8 | header[at + 3];
    };
    return {0, 0, word(16), word(20)};
}

std::string escaped(std::string_view text) {
    std::string out;
    for (const char c : text) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

// A length of the window in CSS: its pixels at full size, scaled with the window where the
// screen is narrower.
std::string px(int pixels) {
    return "calc(" + std::to_string(pixels) + "*var(--px))";
}

std::string rgb(layout::Rgb colour) {
    std::ostringstream out;
    out << "rgb(" << colour.red << ',' << colour.green << ',' << colour.blue << ')';
    return out.str();
}

std::string fontRule(const layout::Font& font) {
    const WebFont& face = webFont(font);
    std::string rule = "font:" + std::to_string(face.weight) + ' ' +
                       px(font.pixelSize != 0 ? font.pixelSize : defaultPixelSize) + " \"" +
                       std::string(face.family) + '"';
    for (std::string_view desktopFace : font.faces) {
        rule += ",\"" + std::string(desktopFace) + '"';
    }
    return rule + (font.fixedPitch ? ",monospace" : ",sans-serif");
}

void writeStyle(std::ostream& css, const Edition& edition, layout::Pixels picture) {
    const layout::Pixels window = layout::pixels(layout::clientArea);
    for (const WebFont* font : webFonts) {
        css << "@font-face{font-family:\"" << font->family << "\";font-weight:" << font->weight
            << ";font-display:block;src:url(fonts/" << font->file << ".woff2)format(\"woff2\")}\n";
    }
    // The window at its size, or, on a narrower or lower screen, scaled down as a whole to fit:
    // every length below is in --px, laid out afresh at the scale, so it stays sharp.
    css << "html,body{margin:0;height:100%;overflow:hidden;background:Canvas}\n"
        << "body{display:grid;place-items:center}\n"
        << "#" << layout::windowName << "{position:relative;overflow:hidden;"
        << "container-type:inline-size;width:min(" << window.width << "px,100vw,calc(100vh*"
        << window.width << '/' << window.height << "));aspect-ratio:" << window.width << '/'
        << window.height << "}\n"
        << "#" << layout::windowName << ">*{position:absolute;box-sizing:border-box;margin:0;"
        << "--px:calc(100cqw/" << window.width << ")}\n"
        << "button{z-index:1;padding:0;white-space:nowrap;" << fontRule({}) << "}\n"
        << ".label{padding:0;overflow:hidden;white-space:nowrap;line-height:normal;"
        << "pointer-events:none}\n"
        << ".unseen{position:absolute;width:1px;height:1px;overflow:hidden;"
        << "clip-path:inset(50%)}\n";
    for (const layout::Control& control : layout::controls) {
        const layout::Pixels place = layout::pixels(control.place);
        css << '#' << control.name << "{left:" << px(place.left) << ";top:" << px(place.top)
            << ";width:" << px(place.width) << ";height:" << px(place.height);
        if (control.kind == layout::Kind::Label) {
            css << ';' << fontRule(control.font)
                << (control.align == layout::Align::Centre ? ";text-align:center" : "");
            switch (control.ink) {
                case layout::Ink::SystemText:
                    css << ";color:CanvasText";
                    break;
                case layout::Ink::Edition:
                    css << ";color:" << rgb(edition.textColour);
                    break;
                case layout::Ink::PaleYellow:
                    css << ";color:" << rgb(layout::paleYellow);
                    break;
            }
            css << (control.opaque ? ";background:Canvas" : "");
        }
        css << "}\n";
    }
    // Drawn unscaled from the top-left corner; its right and bottom edges are cut off.
    css << "#picture{left:0;top:0;width:" << px(picture.width) << ";height:" << px(picture.height)
        << "}\n";
}

void writePage(std::ostream& html, const Recorder& start, const Edition& edition,
               std::string_view picture, layout::Pixels size) {
    html << "<!DOCTYPE html>\n<html lang=\"ja\">\n<head>\n<meta charset=\"utf-8\">\n"
         << "<meta name=\"viewport\" content=\"width=device-width,initial-scale=1\">\n"
         << "<title>" << escaped(layout::title) << "</title>\n"
         << "<link rel=\"icon\" href=\"icon-32.png\">\n"
         << "<link rel=\"manifest\" href=\"manifest.webmanifest\">\n"
         << "<link rel=\"stylesheet\" href=\"ostavel.css\">\n";
    for (const WebFont* font : webFonts) {
        html << "<link rel=\"preload\" href=\"fonts/" << font->file
             << ".woff2\" as=\"font\" type=\"font/woff2\" crossorigin>\n";
    }
    html << "<script src=\"ostavel.js\" defer></script>\n</head>\n<body>\n"
         << "<main id=\"" << layout::windowName << "\">\n"
         << "<img id=\"picture\" src=\"" << picture << ".png\" srcset=\"" << picture << ".png 1x,"
         << picture << "@2x.png 2x\" width=\"" << size.width << "\" height=\"" << size.height
         << "\" alt=\"\">\n";
    for (const layout::Control& control : layout::controls) {
        if (control.kind == layout::Kind::Button) {
            html << "<button id=\"" << control.name << "\" data-button=\""
                 << static_cast<int>(control.button) << '"'
                 << (control.button == Button::miniroto ? " autofocus" : "") << '>'
                 << escaped(control.text) << "</button>\n";
            continue;
        }
        const auto number = static_cast<std::size_t>(control.label);
        const std::string_view text =
            start.written[number] ? start.texts[number] : initialText(control, edition);
        // The message line is read out as it changes; the numbers, once they stand (page.js).
        html << "<div id=\"" << control.name << "\" class=\"label\""
             << (control.label == messageLine ? " aria-live=\"polite\"" : "") << '>'
             << escaped(text) << "</div>\n";
    }
    html << "</main>\n<p id=\"numbers\" class=\"unseen\" aria-live=\"polite\"></p>\n"
         << "</body>\n</html>\n";
}

// Every text the window can show, by the font that shows it.
void writeGlyphs(const std::string& folder, const Recorder& start, const Edition& edition) {
    std::array<std::set<std::string>, webFonts.size()> texts;
    const auto fontOf = [](Label label) -> const WebFont& {
        for (const layout::Control& control : layout::controls) {
            if (control.kind == layout::Kind::Label && control.label == label) {
                return webFont(control.font);
            }
        }
        return gothic;
    };
    const auto add = [&](const WebFont& font, std::string_view text) {
        for (std::size_t i = 0; i < webFonts.size(); ++i) {
            if (webFonts[i] == &font) {
                texts[i].emplace(text);
            }
        }
    };
    for (const layout::Control& control : layout::controls) {
        add(control.kind == layout::Kind::Button ? webFont({}) : fontOf(control.label),
            initialText(control, edition));
    }
    for (std::size_t label = 1; label < start.texts.size(); ++label) {
        add(fontOf(static_cast<Label>(label)), start.texts[label]);
    }
    for (const Button button :
         {Button::miniroto, Button::roto6, Button::Numbers3, Button::Numbers4}) {
        for (const Step& step : gameOf(button).script) {
            if (step.kind == Step::Kind::Headline) {
                add(fontOf(headline), step.text);
            } else if (step.kind == Step::Kind::Message) {
                add(fontOf(messageLine), step.text);
            }
        }
    }
    for (const RemarkTable* table : {&waitingRemarks, &closingRemarks}) {
        for (std::string_view remark : *table) {
            add(fontOf(messageLine), remark);
        }
    }
    add(fontOf(numberLabel(1)), "0123456789");
    for (std::size_t i = 0; i < webFonts.size(); ++i) {
        std::ofstream out(folder + "/glyphs-" + std::string(webFonts[i]->file) + ".txt");
        for (const std::string& text : texts[i]) {
            out << text << '\n';
        }
    }
}

}  // namespace

}  // namespace ostavel::web

int main(int argc, char* argv[]) {
    using namespace ostavel;
    if (argc != 4) {
        std::cerr << "usage: makepage PAGE GLYPHS PICTURE\n";
        return 2;
    }
    const std::string folder = argv[1];
    web::Recorder start;
    SeededRandom random;
    Form_Load(start, random, thisEdition);
    const std::string picture = std::string(argv[3]).substr(0, std::string(argv[3]).rfind('.'));
    const layout::Pixels size = web::pictureSize(folder + '/' + argv[3]);
    std::ofstream html(folder + "/index.html");
    web::writePage(html, start, thisEdition, picture, size);
    std::ofstream css(folder + "/ostavel.css");
    web::writeStyle(css, thisEdition, size);
    web::writeGlyphs(argv[2], start, thisEdition);
    return html && css ? 0 : 1;
}
