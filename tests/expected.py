# What the end-to-end tests expect the window, the games and the editions to show, as
# tests/expected.json writes it out by hand from how the program is meant to be, never from the
# build; and the checks the drivers of the desktop programs and of the page share.
import json, re, subprocess
from pathlib import Path

EXPECTED = json.loads(Path(__file__).with_name("expected.json").read_text())
GAMES, CLOSING, EDITIONS = EXPECTED["games"], EXPECTED["closing"], EXPECTED["editions"]
CONTROLS = {control["name"]: control for control in EXPECTED["controls"]}
FIRST_TEXTS = {name: control.get("text", "") for name, control in CONTROLS.items()}


def wrong_numbers(game, bubbles):
    """Why the six bubbles' texts after a forecast of game break its rule, or None: its count
    of numbers, in plain digits, from its range, all different or, for the digit games, not all
    the same, and the bubbles beyond its count empty."""
    rule, count = GAMES[game], GAMES[game]["count"]
    numbers = [int(n) for n in bubbles[:count] if re.fullmatch(r"0|[1-9]\d?", n)]
    if (len(numbers) != count or any(bubbles[count:])
            or not all(rule["lowest"] <= n <= rule["highest"] for n in numbers)
            or (len(set(numbers)) != count if rule["distinct"] else len(set(numbers)) == 1)):
        return f"after {game} the bubbles read {bubbles}"


def pixels(png):
    """The width and the RGB bytes of a picture."""
    ppm = subprocess.run(["convert", png, "-depth", "8", "ppm:-"], capture_output=True).stdout
    header = re.match(rb"P6\s(\d+)\s\d+\s255\s", ppm)
    return int(header[1]), ppm[header.end():]


def rgb(image, x, y, length=1):
    """The RGB bytes of length pixels from (x, y) of a picture that pixels() read."""
    i = 3 * (image[0] * y + x)
    return image[1][i:i + 3 * length]
