#!/usr/bin/python3
"""Plays an edition's page in headless Chromium, served by a web server of its own on
127.0.0.1: at device scale 1 the whole game (places, start, every forecast with its timeline,
the beep, the keyboard, nesting, a hidden tab, offline, installability), at scale 2 the places
and the sharp picture, and on a 360 x 640 phone the window scaled to fit. Saves a screenshot of
each into the current folder.

usage: play_page.py PAGE EDITION_PICTURE MODE    (MODE: 1x, 2x, phone or hidden)

The expected values are the window's, as its description fixes them, written out here."""
import base64
import os
import struct
import sys
import time
import zlib
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "scripts"))
from browser import Server, chromium, wait_until  # noqa: E402
from fontTools.ttLib import TTFont  # noqa: E402
from selenium.webdriver.common.by import By  # noqa: E402
from selenium.webdriver.common.keys import Keys  # noqa: E402

# The thirteen controls: left, top, width, height in px.
PLACES = {"miniroto": (48, 208, 73, 25), "roto6": (128, 208, 73, 25),
          "Numbers3": (208, 208, 73, 25), "Numbers4": (296, 208, 73, 25),
          "Label1": (32, 64, 36, 28), "Label2": (96, 64, 36, 28), "Label3": (160, 64, 36, 28),
          "Label4": (224, 64, 36, 28), "Label5": (288, 64, 36, 28), "Label6": (352, 64, 36, 28),
          "Label7": (128, 184, 169, 33), "Label8": (80, 8, 257, 33), "Label9": (64, 256, 289, 17)}
WINDOW = (421, 279)
# Each game: headline, count, range, all different, and when each number is revealed at the
# earliest, in seconds from the press (the sums of the reel routines' and the waits' delays).
GAMES = {
    "roto6": ("ロト6の予想です", 6, 1, 43, True, [0.31, 1.36, 2.46, 4.56, 6.56, 10.76]),
    "miniroto": ("ミニロトの予想です!", 5, 1, 31, True, [0.41, 1.56, 3.16, 6.06, 9.06]),
    "Numbers3": ("Numbers3の予想だよ", 3, 0, 9, False, [0.31, 1.36, 2.46]),
    "Numbers4": ("Numbers4の予想です", 4, 0, 9, False, [0.31, 1.36, 2.46, 4.56]),
}
CLOSING = {"こんなん出ました!", "当たりますように!", "こんなのでました"}
COLOURS = {"snow": "rgb(64, 64, 64)", "stage": "rgb(255, 255, 255)"}

# Recorded in the page from its start: every caption written with its time, the presses, the
# tones started and the audio contexts made, and when the page was hidden.
RECORDER = """
window.__writes = []; window.__presses = []; window.__beeps = []; window.__audio = [];
window.__hidden = [];
new MutationObserver(records => {
  const now = performance.now();
  for (const record of records) {
    const element = record.target.nodeType === 1 ? record.target : record.target.parentElement;
    if (/^(Label\\d|numbers)$/.test(element.id)) __writes.push([now, element.id, element.textContent]);
  }
}).observe(document, {childList: true, subtree: true, characterData: true});
addEventListener("click", () => __presses.push(performance.now()), true);
addEventListener("keydown", () => __presses.push(performance.now()), true);
document.addEventListener("visibilitychange", () => __hidden.push([performance.now(), document.hidden]));
const start = OscillatorNode.prototype.start;
OscillatorNode.prototype.start = function (...a) { __beeps.push(performance.now()); return start.apply(this, a); };
const Context = window.AudioContext;
window.AudioContext = class extends Context { constructor(...a) { super(...a); __audio.push(this); } };
"""

failures = []


def check(condition, message):
    if not condition:
        failures.append(message)
        print("FAILED:", message, flush=True)
    return condition


def load(driver, url):
    driver.get(url)
    wait_until(lambda: driver.execute_script("return window.Ostavel && Module.calledRun"),
               "the program to start")


def rects(driver):
    return driver.execute_script("""
        const box = e => { const r = e.getBoundingClientRect(); return [r.left, r.top, r.width, r.height]; };
        const window_ = document.getElementById("Ostavel"), o = box(window_), all = {window: o};
        for (const e of window_.children) { const r = box(e); all[e.id] = [r[0] - o[0], r[1] - o[1], r[2], r[3]]; }
        return all;""")


def check_places(driver, scale=1.0):
    """The window and its controls where the table puts them, scaled as a whole by scale."""
    boxes = rects(driver)
    check(all(abs(a - b * scale) < 0.05 for a, b in zip(boxes["window"][2:], WINDOW)),
          f"the window is {boxes['window'][2:]}, not {WINDOW} x {scale:.3f}")
    for name, place in PLACES.items():
        check(all(abs(a - b * scale) < 0.05 for a, b in zip(boxes[name], place)),
              f"{name} is at {boxes[name]}, not {place} x {scale:.3f}")
    check(all(abs(a - b * scale) < 0.05 for a, b in zip(boxes["picture"], (0, 0, 425, 283))),
          f"the picture is drawn at {boxes['picture']}, not unscaled at the corner")


def check_start(driver, picture):
    texts = driver.execute_script("return [...Array(9).keys()].map(i => "
                                  "document.getElementById('Label' + (i + 1)).textContent)")
    check(texts[6:8] == ["by Tovaine", "Ostavel"], f"headline and message at start: {texts[6:8]}")
    check(texts[:6] == [""] * 6, f"the bubbles at start: {texts[:6]}")
    check(texts[8].startswith("作者: Tovaine"), f"the credit line: {texts[8]}")
    check(driver.title == "Ostavel★", f"the title: {driver.title}")
    check(driver.execute_script("return document.documentElement.lang") == "ja", "lang")
    check(driver.execute_script("return document.activeElement.id") == "miniroto",
          "the focus starts on miniroto")
    colours = driver.execute_script("return ['Label7', 'Label8', 'Label9'].map(id => "
                                    "getComputedStyle(document.getElementById(id)).color)")
    check(colours == [COLOURS[picture], "rgb(255, 255, 192)", COLOURS[picture]],
          f"the colours of the lines: {colours}")


def reset(driver):
    driver.execute_script("__writes = []; __presses = []; __beeps = [];")


def record(driver):
    return driver.execute_script("return [__writes, __presses, __beeps]")


def play(driver, button):
    """One forecast, pressed with the mouse, checked against its game: its numbers, its
    timeline (no number revealed early, the end at most 10 % late), the beep once at its
    closing remark, and its numbers announced once."""
    title, count, lowest, highest, distinct, reveals = GAMES[button]
    reset(driver)
    driver.find_element(By.ID, button).click()
    wait_until(lambda: driver.execute_script("return __beeps.length"), f"{button}'s beep",
               reveals[-1] * 1.1 + 5)
    time.sleep(0.3)
    writes, presses, beeps = record(driver)
    pressed = presses[0]
    seconds = lambda t: (t - pressed) / 1000  # noqa: E731
    last = {label: (t, text) for t, label, text in writes}
    check([text for _, label, text in writes if label == "Label8"] == [title],
          f"{button}: headline {last.get('Label8')}")
    numbers = [last.get(f"Label{p}", (0, ""))[1] for p in range(1, 7)]
    shown = [int(n) for n in numbers[:count] if n.isdigit()]
    check(len(shown) == count and all(lowest <= n <= highest for n in shown)
          and numbers[count:] == [""] * (6 - count)
          and (len(set(shown)) == count if distinct else len(set(shown)) > 1),
          f"{button}: numbers {numbers}")
    for position, least in enumerate(reveals, 1):
        at = seconds(last[f"Label{position}"][0])
        check(at >= least, f"{button}: number {position} revealed at {at:.3f} s, least {least} s")
    end, closing = last["Label7"]
    check(seconds(end) <= reveals[-1] * 1.1,
          f"{button}: ended after {seconds(end):.3f} s, least {reveals[-1]} s")
    check(closing in CLOSING, f"{button}: closing remark {closing}")
    check(len(beeps) == 1 and abs(beeps[0] - end) < 50, f"{button}: beeps at {beeps}, end {end}")
    announced = [text for _, label, text in writes if label == "numbers"]
    check(announced == [" ".join(numbers[:count])], f"{button}: announced {announced}")
    if button == "roto6":  # every frame of every reel routine writes the sixth bubble
        frames = sum(1 for _, label, _ in writes if label == "Label6")
        check(frames >= 31 + 21 + 11 + 7 + 4 + 6, f"{button}: the sixth bubble spun {frames} times")
    return writes


def key(driver, name, code, vk, text="", repeats=0):
    """A key pressed and released through the browser's input, repeating while held."""
    event = {"key": name, "code": code, "windowsVirtualKeyCode": vk, "nativeVirtualKeyCode": vk,
             "text": text, "location": 3 if code.startswith("Numpad") else 0}
    for repeat in range(repeats + 1):
        driver.execute_cdp_cmd("Input.dispatchKeyEvent",
                               dict(event, type="keyDown", autoRepeat=repeat > 0))
    driver.execute_cdp_cmd("Input.dispatchKeyEvent", dict(event, type="keyUp", text=""))


def check_keyboard(driver):
    """Tab visits the buttons in the table's order; Enter, the keypad's Enter and Space press
    the focused one once per press however long held; Escape presses nothing."""
    order = []
    for _ in range(3):
        driver.switch_to.active_element.send_keys(Keys.TAB)
        order.append(driver.execute_script("return document.activeElement.id"))
    check(order == ["roto6", "Numbers3", "Numbers4"], f"Tab order: {order}")
    driver.switch_to.active_element.send_keys(Keys.SHIFT, Keys.TAB)
    check(driver.execute_script("return document.activeElement.id") == "Numbers3", "Shift+Tab")
    presses = [("Enter", "Enter", 13, "\r", 0), ("Enter", "NumpadEnter", 13, "\r", 0),
               (" ", "Space", 32, " ", 0), ("Enter", "Enter", 13, "\r", 5),
               ("Enter", "NumpadEnter", 13, "\r", 5), (" ", "Space", 32, " ", 5),
               ("Escape", "Escape", 27, "", 0)]
    for name, code, vk, text, repeats in presses:
        reset(driver)
        key(driver, name, code, vk, text, repeats)
        time.sleep(0.25)
        started = sum(1 for _, label, _ in record(driver)[0] if label == "Label8")
        check(started == (name != "Escape"),
              f"{code} held for {repeats} repeats started {started} forecasts")


def check_nesting(driver):
    """Presses during a forecast nest to a depth of 64 and no further; the innermost ends, and
    the one around it goes on to its end."""
    reset(driver)
    driver.find_element(By.ID, "Numbers3").click()
    driver.execute_script("for (let i = 0; i < 70; ++i) document.getElementById('Numbers3').click()")
    wait_until(lambda: driver.execute_script("return __beeps.length >= 2 || window.Ostavel.aborted"),
               "two nested forecasts to end", 20)
    writes = record(driver)[0]
    check(not driver.execute_script("return Ostavel.aborted"),
          f"the page aborted: {driver.execute_script('return Ostavel.aborted')}")
    started = sum(1 for _, label, _ in writes if label == "Label8")
    check(started == 64, f"{started} forecasts ran nested, not 64")


def check_fonts(page, seen):
    """Every glyph the page showed is in the font that showed it."""
    faces = {"mplus1-regular": seen["regular"], "mplus1-bold": seen["bold"],
             "mplus1code-bold": seen["digits"]}
    for face, texts in faces.items():
        cmap = TTFont(page / "fonts" / f"{face}.woff2").getBestCmap()
        missing = {c for text in texts for c in text if ord(c) not in cmap}
        check(not missing, f"{face} lacks {''.join(sorted(missing))}")


def paeth(a, b, c):
    pa, pb, pc = abs(b - c), abs(a - c), abs(a + b - 2 * c)
    return a if pa <= pb and pa <= pc else (b if pb <= pc else c)


def png_pixels(data):
    """The RGB(A) rows of an 8-bit, non-interlaced PNG, and its bytes per pixel."""
    width, height, depth, kind = struct.unpack(">IIBB", data[16:26])
    assert depth == 8, "an 8-bit PNG"
    n = {2: 3, 6: 4}[kind]
    chunks, at = b"", 8
    while at < len(data):
        length, name = struct.unpack(">I4s", data[at:at + 8])
        chunks += data[at + 8:at + 8 + length] if name == b"IDAT" else b""
        at += 12 + length
    raw, rows, stride, up = zlib.decompress(chunks), [], width * n, bytearray(width * n)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for x in range(stride):
            a, c = (line[x - n], up[x - n]) if x >= n else (0, 0)
            line[x] = (line[x] + (0, a, up[x], (a + up[x]) // 2, paeth(a, up[x], c))[kind]) & 255
        rows.append(line)
        up = line
    return n, rows


def check_screenshot(driver, page, picture, scale, name):
    """The edition's picture, at the screen's scale, where no control covers it; digits in
    the bubbles; text on the buttons."""
    box = driver.execute_script("const r = document.getElementById('Ostavel')"
                                ".getBoundingClientRect(); return [r.left, r.top, r.width, r.height]")
    shot = base64.b64decode(driver.execute_cdp_cmd("Page.captureScreenshot", {"clip": dict(
        zip(("x", "y", "width", "height"), box), scale=1)})["data"])
    Path(name).write_bytes(shot)
    channels, rows = png_pixels(shot)
    suffix = "@2x" if scale == 2 else ""
    fetched = driver.execute_script("return performance.getEntriesByType('resource')"
                                    ".map(e => e.name.split('/').pop()).filter(n => n.endsWith('.png'))")
    check(f"{picture}{suffix}.png" in fetched and f"{picture}{'' if suffix else '@2x'}.png" not in fetched,
          f"pictures fetched at scale {scale}: {fetched}")
    asset_channels, asset = png_pixels((page / f"{picture}{suffix}.png").read_bytes())
    at = lambda rows_, x, y, n: rows_[y][x * n:x * n + 3]  # noqa: E731
    left = top = 0
    region = [(x, y) for x in range(2 * scale, 28 * scale, 3) for y in range(110 * scale, 180 * scale, 3)]
    differing = sum(1 for x, y in region
                    if max(abs(p - q) for p, q in zip(at(rows, left + x, top + y, channels),
                                                      at(asset, x, y, asset_channels))) > 8)
    check(differing == 0, f"{name}: {differing} of {len(region)} pixels differ from the picture")

    def dark(box):  # pixels of text in a control's box
        x0, y0, w, h = (int(v * scale) for v in box)
        return sum(1 for x in range(x0, x0 + w) for y in range(y0, y0 + h)
                   if sum(at(rows, left + x, top + y, channels)) < 200)
    for label in ("Label1", "Label2", "Label3"):
        check(dark(PLACES[label]) > 10 * scale * scale, f"{name}: no digits in {label}")
    check(dark(PLACES["miniroto"]) > 20 * scale * scale, f"{name}: no glyphs on miniroto")


def main():
    page, picture, mode = Path(sys.argv[1]).resolve(), sys.argv[2], sys.argv[3]
    server = Server(page)
    scale = 2 if mode == "2x" else 1
    driver = chromium(scale=scale, phone=(360, 640, 3) if mode == "phone" else None,
                      throttle_hidden=mode == "hidden", init_script=RECORDER)
    name = f"{page.name}-{mode}.png"
    try:
        load(driver, server.url)
        if mode == "phone":
            check_places(driver, 360 / 421)
            scrolls = driver.execute_script("const e = document.scrollingElement; return "
                                            "[e.scrollWidth, e.scrollHeight, innerWidth, innerHeight]")
            check(scrolls[0] <= scrolls[2] and scrolls[1] <= scrolls[3], f"the page scrolls: {scrolls}")
            play(driver, "Numbers4")
            Path(name).write_bytes(driver.get_screenshot_as_png())
        elif mode == "hidden":
            check_hidden(driver)
        else:
            check_places(driver)
            check_start(driver, picture)
            games = ["Numbers4"] if mode == "2x" else list(GAMES)
            writes = [w for game in games for w in play(driver, game)]
            check_screenshot(driver, page, picture, scale, name)
            if mode == "1x":
                labels = lambda *ids: [t for _, label, t in writes if label in ids]  # noqa: E731
                check_fonts(page, {"regular": labels("Label7") + ["ミニロト", "ロト6", "Numbers3",
                                                                    "Numbers4", "作者: Tovaine　by"],
                                   "bold": labels("Label8") + ["Ostavel"],
                                   "digits": labels(*(f"Label{p}" for p in range(1, 7)))})
                check(driver.execute_script("return __audio.length") == 1,
                      "one audio context, made at the first press")
                errors = driver.execute_cdp_cmd("Page.getInstallabilityErrors", {})
                check(not errors.get("installabilityErrors"), f"installability: {errors}")
                check_offline(driver, server)
                load(driver, driver.current_url)
                check_keyboard(driver)
                load(driver, driver.current_url)
                check_nesting(driver)
    finally:
        driver.quit()
        server.stop()
    print(f"{page.name} {mode}: {len(failures)} failed" if failures else f"{page.name} {mode}: passed")
    return 1 if failures else 0


def check_offline(driver, server):
    """With the server stopped, the page reloads from its service worker and plays."""
    wait_until(lambda: driver.execute_script("return !!navigator.serviceWorker.controller"),
               "the service worker to take the page over")
    time.sleep(0.5)  # the picture, fetched once more through it
    server.stop()
    load(driver, driver.current_url)
    check(driver.execute_script("const p = document.getElementById('picture');"
                                "return p.complete && p.naturalWidth > 0"), "the picture offline")
    play(driver, "Numbers3")


def check_hidden(driver):
    """A forecast in a hidden tab, with the browser's throttling of hidden pages on, still ends
    on time, while a plain timer of the page, meanwhile, is throttled."""
    reset(driver)
    driver.execute_script("""window.__ticks = 0;
        (function tick() { __ticks += document.hidden; setTimeout(tick, 10); })();
        setTimeout(() => document.getElementById("Numbers4").click(), 1500);""")
    visible = driver.current_window_handle
    driver.switch_to.new_window("tab")
    time.sleep(8)
    driver.switch_to.window(visible)
    writes, presses, beeps = record(driver)
    hidden = driver.execute_script("return __hidden")
    check(hidden[:1] and hidden[0][1] and hidden[0][0] < presses[0], f"hidden at {hidden}")
    ticks = driver.execute_script("return __ticks")
    check(ticks < 30, f"the page's own timer ran {ticks} times hidden: not throttled")
    wall = ([t for t, label, _ in writes if label == "Label7"][-1] - presses[0]) / 1000
    check(len(beeps) == 1 and 4.56 <= wall <= 4.56 * 1.1,
          f"hidden: {len(beeps)} beep(s), the last message after {wall:.3f} s")


if __name__ == "__main__":
    os.chdir(os.environ.get("OSTAVEL_SHOTS", "."))
    sys.exit(main())
