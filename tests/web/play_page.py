#!/usr/bin/python3
# Plays an edition's page in headless Chromium, served by a web server of its own on
# 127.0.0.1: at device scale 1 the whole game (places, start, every forecast with its timeline,
# the beep, the fonts, installability, offline, the keyboard, nesting), at scale 2 the places and
# the sharp picture, on a 360 x 640 phone the window scaled to fit, a forecast in a hidden tab,
# and a new version replacing the one kept for offline play. Leaves a screenshot of the window
# in the current folder.
#
# usage: play_page.py PAGE MODE    (PAGE: the edition's folder; MODE: 1x, 2x, phone, hidden or
# update)
#
# What the page must show is what tests/expected.json says the window shows.
import shutil
import tempfile
import sys
import time
from pathlib import Path

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "scripts"))
sys.path.insert(0, str(Path(__file__).resolve().parents[1]))
from expected import CLOSING, CONTROLS, EDITIONS, EXPECTED, FIRST_TEXTS, GAMES, pixels, rgb, wrong_numbers  # noqa: E402
from browser import Server, chromium, wait_until  # noqa: E402
from fontTools.ttLib import TTFont  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

# The window, its picture and its thirteen controls: left, top, width, height in px.
PLACES = {"window": (0, 0, EXPECTED["window"]["width"], EXPECTED["window"]["height"]),
          "picture": (0, 0, *EXPECTED["window"]["picture"]),
          **{name: tuple(control["px"]) for name, control in CONTROLS.items()}}
BUTTONS = ("miniroto", "roto6", "Numbers3", "Numbers4")

# Recorded in the page from its start: the captions written, with their times, the presses,
# the tones started and the audio contexts made.
RECORDER = """
window.__writes = []; window.__presses = []; window.__beeps = []; window.__audio = [];
new MutationObserver(records => {
  const now = performance.now();
  for (const e of records.map(r => r.target.nodeType === 1 ? r.target : r.target.parentElement))
    if (/^(Label\\d|numbers)$/.test(e.id)) __writes.push([now, e.id, e.textContent]);
}).observe(document, {childList: true, subtree: true, characterData: true});
for (const kind of ["click", "keydown"]) addEventListener(kind, () => __presses.push(performance.now()), true);
const start = OscillatorNode.prototype.start;
OscillatorNode.prototype.start = function (...a) { __beeps.push(performance.now()); return start.apply(this, a); };
const Context = AudioContext;
window.AudioContext = class extends Context { constructor(...a) { super(...a); __audio.push(this); } };
"""
failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAILED:", message, flush=True)


def js(driver, script, *arguments):
    return driver.execute_script("return " + script, *arguments)


def load(driver, url):
    driver.get(url)
    wait_until(lambda: js(driver, "window.Ostavel && Module.calledRun"), "the program to start")


# The window and its controls where the table puts them, scaled as a whole by scale.
def check_places(driver, scale=1.0):
    boxes = js(driver, """[...document.querySelectorAll("main, main > *")].map(e => {
        const r = e.getBoundingClientRect(), o = e.id == "Ostavel" ? r : e.parentElement.getBoundingClientRect();
        return [e.id == "Ostavel" ? "window" : e.id, r.left - o.left, r.top - o.top, r.width, r.height]; })""")
    for name, *box in boxes:
        check(all(abs(a - b * scale) < 0.05 for a, b in zip(box, PLACES[name])),
              f"{name} is at {box}, not {PLACES[name]} x {scale:.3f}")


def check_start(driver, edition):
    texts = js(driver, "[...Array(9).keys()].map(i => document.getElementById('Label' + (i + 1)).textContent)")
    check(texts == [FIRST_TEXTS[f"Label{n}"] for n in range(1, 10)], f"the labels at start: {texts}")
    check([driver.title, js(driver, "document.documentElement.lang"), js(driver, "document.activeElement.id")]
          == [EXPECTED["window"]["title"], "ja", "miniroto"], "the title, the language and the focus at start")
    tree = driver.execute_cdp_cmd("Accessibility.getFullAXTree", {})["nodes"]
    buttons = [n["name"]["value"] for n in tree if n.get("role", {}).get("value") == "button"]
    # Two polite live regions, the message line and the numbers once they stand; not the reels.
    live = [p["value"]["value"] for n in tree for p in n.get("properties", []) if p["name"] == "live"]
    check(buttons == [FIRST_TEXTS[b] for b in BUTTONS] and live == ["polite"] * 2,
          f"accessible: buttons {buttons}, live regions {live}")
    colours = js(driver, "['Label7', 'Label8', 'Label9'].map(id => getComputedStyle(document.getElementById(id)).color)")
    ink = lambda rgb: "rgb({}, {}, {})".format(*rgb)  # noqa: E731
    wanted = [ink(EDITIONS[edition]["colour"]), ink(CONTROLS["Label8"]["ink"]), ink(EDITIONS[edition]["colour"])]
    check(colours == wanted, f"colours: {colours}")


# The page's first forecast, which comes while the browser is still compiling the program and can
# run late by a few tenths of a second, pressed by a script: a page that has sounded is spared the
# throttling of hidden pages.
def warm_up(driver):
    driver.execute_script("document.getElementById('Numbers3').click()")
    time.sleep(3)


def reset(driver):
    driver.execute_script("__writes = []; __presses = []; __beeps = [];")


# One forecast, pressed with the mouse unless by press: its numbers under its game's rule; no
# number revealed early and the end neither early nor more than 10 % late; one beep, at the
# closing remark; the numbers announced once; the reels spinning.
def play(driver, button, press=None):
    title, count, reveals = GAMES[button]["headline"], GAMES[button]["count"], GAMES[button]["reveals"]
    reset(driver)
    (press or driver.find_element(By.ID, button).click)()
    wait_until(lambda: js(driver, "__beeps.length"), f"{button}'s beep", reveals[-1] * 1.1 + 5)
    time.sleep(0.3)
    writes, presses, beeps = js(driver, "[__writes, __presses, __beeps]")
    last = {label: (t, text) for t, label, text in writes}
    of = lambda wanted: [text for _, label, text in writes if label == wanted]  # noqa: E731
    numbers = [last.get(f"Label{p}", (0, ""))[1] for p in range(1, 7)]
    check(of("Label8") == [title] and not wrong_numbers(button, numbers), f"{button}: headline {of('Label8')}, numbers {numbers}")
    at = [(last[f"Label{p}"][0] - presses[0]) / 1000 for p in range(1, count + 1)]
    check(all(a >= least for a, least in zip(at, reveals)), f"{button}: revealed at {at}, least {reveals}")
    end, closing = last["Label7"]
    check(reveals[-1] <= (end - presses[0]) / 1000 <= reveals[-1] * 1.1 and closing in CLOSING,
          f"{button}: ended after {(end - presses[0]) / 1000:.3f} s with {closing}")
    check(len(beeps) == 1 and abs(beeps[0] - end) < 50, f"{button}: beeps at {beeps}, the end at {end}")
    check(of("numbers") == [" ".join(numbers[:count])], f"{button}: announced {of('numbers')}")
    check(len(of(f"Label{count}")) > 60, f"{button}: the last bubble spun {len(of(f'Label{count}'))} times")
    return writes


# Every glyph the page showed is in the font that showed it.
def check_fonts(page, writes):
    for face, ids in {"mplus1-regular": ("Label7", "Label9", *BUTTONS), "mplus1-bold": ("Label8",),
                      "mplus1code-bold": [f"Label{p}" for p in range(1, 7)]}.items():
        shown = [t for _, label, t in writes if label in ids] + [FIRST_TEXTS[n] for n in ids]
        cmap = TTFont(page / "fonts" / f"{face}.woff2").getBestCmap()
        lacking = {c for c in "".join(shown) if ord(c) not in cmap}
        check(not lacking, f"{face} lacks {lacking}")


# Only the picture the screen needs fetched, and shown unscaled where no control covers it; digits
# in the bubbles; glyphs on the buttons.
def check_screenshot(driver, page, scale, name):
    picture = EDITIONS[page.name]["picture"]
    fetched = js(driver, "performance.getEntriesByType('resource').map(e => e.name.split('/').pop())")
    wanted = f"{picture}{'@2x' if scale == 2 else ''}.png"
    check({f for f in fetched if f.startswith(picture)} == {wanted}, f"pictures fetched: {fetched}")
    driver.find_element(By.ID, "Ostavel").screenshot(name)
    screen, asset = pixels(name), pixels(str(page / wanted))
    behind = [(x, y) for x in range(2 * scale, 28 * scale, 3) for y in range(110 * scale, 180 * scale, 3)]
    check(all(max(abs(a - b) for a, b in zip(rgb(screen, *p), rgb(asset, *p))) <= 8 for p in behind),
          f"{name}: the picture differs from {wanted}")
    for control in ("Label1", "Label2", "Label3", "miniroto"):
        x0, y0, w, h = (v * scale for v in PLACES[control])
        ink = sum(sum(rgb(screen, x, y)) < 200 for x in range(x0, x0 + w) for y in range(y0, y0 + h))
        check(ink > 10 * scale * scale, f"{name}: nothing written in {control}")


# Tab visits the buttons in the table's order; Enter, the keypad's Enter and Space press the
# focused one once per press however long held; Escape presses nothing. The keys go through the
# browser's input, repeating while held, and are released.
def check_keyboard(driver):
    order = []
    for keys in [Keys.TAB] * 3 + [(Keys.SHIFT, Keys.TAB)]:
        driver.switch_to.active_element.send_keys(*keys)
        order.append(js(driver, "document.activeElement.id"))
    check(order == ["roto6", "Numbers3", "Numbers4", "Numbers3"], f"Tab and Shift+Tab: {order}")
    for repeats in (0, 5):
        for name, code, vk, text in [("Enter", "Enter", 13, "\r"), ("Enter", "NumpadEnter", 13, "\r"),
                                     (" ", "Space", 32, " "), ("Escape", "Escape", 27, "")]:
            reset(driver)
            key = dict(key=name, code=code, windowsVirtualKeyCode=vk, nativeVirtualKeyCode=vk,
                       location=3 if code.startswith("Numpad") else 0)
            held = [dict(key, type="keyDown", text=text, autoRepeat=i > 0) for i in range(repeats + 1)]
            for event in held + [dict(key, type="keyUp")]:
                driver.execute_cdp_cmd("Input.dispatchKeyEvent", event)
            time.sleep(0.25)
            started = js(driver, "__writes.filter(w => w[1] == 'Label8').length")
            check(started == (name != "Escape"), f"{code} held for {repeats} repeats ran {started} forecasts")


# Presses during a forecast nest to a depth of 64 and no further; the innermost ends, and the one
# around it goes on to its end.
def check_nesting(driver):
    reset(driver)
    driver.find_element(By.ID, "Numbers3").click()
    driver.execute_script("for (let i = 0; i < 70; ++i) document.getElementById('Numbers3').click()")
    wait_until(lambda: js(driver, "__beeps.length >= 2 || Ostavel.aborted"), "two nested forecasts to end", 20)
    nested, aborted = js(driver, "[__writes.filter(w => w[1] == 'Label8').length, Ostavel.aborted]")
    check(not aborted and nested == 64, f"{nested} forecasts nested, not 64; aborted: {aborted}")


# With the server stopped, the page reloads from its service worker and plays.
def check_offline(driver, server):
    wait_until(lambda: js(driver, "!!navigator.serviceWorker.controller"), "the service worker")
    time.sleep(0.5)  # for the picture to be fetched once more, through it
    server.stop()
    load(driver, driver.current_url)
    check(js(driver, "document.getElementById('picture').naturalWidth") > 0, "no picture offline")
    play(driver, "Numbers3")


# A forecast pressed by the page in a hidden tab, with the browser's throttling of hidden pages
# on, ends on time, while a plain timer of the page meanwhile is throttled.
def check_hidden(driver):
    def press():
        driver.execute_script("""window.__ticks = 0;
            (function tick() { __ticks += document.hidden; setTimeout(tick, 10); })();
            setTimeout(() => (window.__hidden = document.hidden,
                              document.getElementById("Numbers4").click()), 3000);""")
        visible = driver.current_window_handle
        driver.switch_to.new_window("tab")
        time.sleep(9)
        driver.switch_to.window(visible)
    warm_up(driver)
    play(driver, "Numbers4", press)
    hidden, ticks = js(driver, "[__hidden, __ticks]")
    check(hidden and ticks < 30, f"hidden: {hidden}, the page's own timer ran {ticks} times")


# A new version put on the server replaces the one the service worker kept, by the second visit
# after it: the new files, dated later than the kept ones, are fetched and the old ones deleted.
def check_update(driver, server, folder):
    wait_until(lambda: js(driver, "!!navigator.serviceWorker.controller"), "the service worker")
    time.sleep(1.1)  # for the server to date the new files later
    version = EDITIONS[folder.name]["version"]
    for name, was, new in (("sw.js", version, "9.0.0.0"), ("index.html", "★<", "★ 9<")):
        (folder / name).write_text((folder / name).read_text().replace(was, new))
    load(driver, server.url)
    kept = [f"{folder.name}-9.0.0.0"]
    wait_until(lambda: js(driver, "caches.keys()") == kept, "the new version alone kept")
    load(driver, server.url)
    check(driver.title == "Ostavel★ 9", f"the new version is not shown: {driver.title}")


def main():
    page, mode = Path(sys.argv[1]).resolve(), sys.argv[2]
    # Served from a copy, which the update turns into a new version.
    copy = tempfile.TemporaryDirectory(prefix="ostavel-page-")
    folder = shutil.copytree(page, Path(copy.name) / page.name)
    server = Server(folder)
    scale = 2 if mode == "2x" else 1
    driver = chromium(scale=scale, phone=(360, 640, 3) if mode == "phone" else None,
                      throttle_hidden=mode == "hidden", init_script=RECORDER)
    try:
        load(driver, server.url)
        if mode == "update":
            check_update(driver, server, folder)
        elif mode == "phone":
            check_places(driver, 360 / 421)
            check(js(driver, "(r => r.left >= 0 && r.top >= 0 && r.right <= innerWidth && r.bottom <= innerHeight)"
                     "(document.querySelector('main').getBoundingClientRect()) && document.scrollingElement"
                     ".scrollHeight <= innerHeight && document.scrollingElement.scrollWidth <= innerWidth"),
                  "the window does not fit the phone's screen, or the page scrolls")
            warm_up(driver)
            play(driver, "Numbers4")
            driver.save_screenshot(f"{page.name}-phone.png")
        elif mode == "hidden":
            check_hidden(driver)
        else:
            check_places(driver)
            check_start(driver, page.name)
            if mode == "2x":  # at 1x the first forecast is the longest, Loto 6's
                warm_up(driver)
            writes = [w for game in (("roto6", "miniroto", "Numbers3", "Numbers4") if mode == "1x" else ["Numbers4"]) for w in play(driver, game)]
            check_screenshot(driver, page, scale, f"{page.name}-{mode}.png")
        if mode == "1x":
            check_fonts(page, writes)
            check(js(driver, "__audio.length") == 1, "not one audio context, made at the first press")
            errors = driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})["installabilityErrors"]
            check(not errors, f"installability: {errors}")
            check_offline(driver, server)
            check_nesting(driver)
            load(driver, driver.current_url)  # for the focus as at start
            check_keyboard(driver)
    finally:
        driver.quit()
        server.stop()
    print(f"{page.name} {mode}: {len(failures)} failed" if failures else f"{page.name} {mode}: passed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
