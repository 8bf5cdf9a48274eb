#!/usr/bin/python3
# Plays one edition program on X (Xvfb) or on Wayland (headless weston), with a display server,
# session bus, accessibility bus and sound server of its own. It presses the buttons through the
# accessibility interface, as a screen-reader or switch-access user does, reads the labels by
# their accessible names, counts the beeps and checks a screenshot. On X it then closes the window
# mid-forecast the way a window manager does; nothing can ask a window on a headless weston to
# close, so there the program is ended with SIGTERM.
#
# usage: play_edition.py PROGRAM x11|wayland PICTURE R,G,B
#   the edition's background picture and the colour of its message and credit lines
import contextlib, ctypes, glob, os, re, signal, subprocess, sys, tempfile, time
from pathlib import Path

import gi
from Xlib import X, display, protocol

gi.require_version("Atspi", "2.0")
from gi.repository import Atspi

program, platform, picture_png, colour = sys.argv[1:]
colour, on_x = bytes(map(int, colour.split(","))), platform == "x11"
scratch = tempfile.TemporaryDirectory(prefix="ostavel-e2e-")
work = Path(scratch.name)
(work / "runtime").mkdir(0o700)
stderr = open(work / "stderr", "w")
for name in ("DISPLAY", "WAYLAND_DISPLAY", "LANGUAGE", "AT_SPI_BUS_ADDRESS"):
    os.environ.pop(name, None)
# The servers, the program and this driver find only the run's own. Text is drawn without
# antialiasing, so that each of its pixels has the text colour itself.
os.environ.update(HOME=str(work), XDG_RUNTIME_DIR=f"{work}/runtime", LC_ALL="C.UTF-8",
                  FONTCONFIG_FILE=f"{work}/fonts")
(work / "fonts").write_text(
    '<fontconfig><include>/etc/fonts/fonts.conf</include><match target="font"><edit '
    'name="antialias" mode="assign"><bool>false</bool></edit></match></fontconfig>')


def read(name):
    return (work / name).read_text()


def fail(message):
    sys.exit(f"FAIL ({platform}): {message}\n--- the program's stderr:\n{read('stderr')}")


def wait_until(condition, what, seconds=10):
    deadline = time.monotonic() + seconds
    while not (result := condition()):
        if time.monotonic() > deadline:
            fail(what)
        time.sleep(0.02)
    return result


def start(*command, stdout=subprocess.DEVNULL, **options):
    return subprocess.Popen(command, stdout=stdout, stderr=subprocess.DEVNULL, **options)


def pixels(png):  # the width and the RGB bytes of a picture
    ppm = subprocess.run(["convert", png, "-depth", "8", "ppm:-"], capture_output=True).stdout
    header = re.match(rb"P6\s(\d+)\s\d+\s255\s", ppm)
    return int(header[1]), ppm[header.end():]


def rgb(image, x, y, length=1):
    i = 3 * (image[0] * y + x)
    return image[1][i:i + 3 * length]


def check_shot(png):
    shot, picture = pixels(png), pixels(picture_png)
    # The client area starts where the picture's top row shows exactly; the checks below
    # compare the rest of it with the picture.
    top = re.escape(rgb(picture, 0, 0, 421))
    corner = next((m.start() // 3 for m in re.finditer(top, shot[1]) if m.start() % 3 == 0), None)
    if corner is None:
        fail(f"the screenshot does not show {picture_png}")

    def at(x, y):  # a pixel of the client area
        return rgb(shot, corner + x, y)

    dark = [sum(sum(at(32 + 64 * p + x, 64 + y)) < 384 for x in range(36) for y in range(28))
            for p in range(6)]
    if min(dark[:3]) < 10 or max(dark[3:]) > 0:
        fail(f"bubbles 1-3 must show digits and 4-6 nothing; dark pixels: {dark}")
    # The text pixels, those not the picture's, of the message line above the buttons' tops
    # and of the credit line: both in the edition's colour.
    for line, left, top, right, bottom in (("message", 128, 184, 297, 208),
                                           ("credit", 64, 256, 353, 273)):
        ink = [at(x, y) for x in range(left, right) for y in range(top, bottom)
               if at(x, y) != rgb(picture, x, y)]
        if len(ink) < 20 or set(ink) != {colour}:
            fail(f"the {line} line is not drawn in {tuple(colour)} alone: {len(ink)} pixels "
                 f"in {sorted(set(map(tuple, ink)))[:3]}...")


os.setpgid(0, 0)  # every process of the run is in this group and ends with it;
ctypes.CDLL(None).prctl(36, 1)  # PR_SET_CHILD_SUBREAPER: their orphans are reaped here
try:
    if on_x:
        xvfb = start("Xvfb", "-displayfd", "1", "-screen", "0", "640x480x24", "-nolisten", "tcp",
                     stdout=subprocess.PIPE)
        os.environ["DISPLAY"] = ":" + (xvfb.stdout.readline().decode().strip() or fail("no Xvfb"))
    else:
        start("weston", "--backend=headless-backend.so", "--use-pixman", "--debug",
              "--socket=wayland-e2e", "--width=640", "--height=480")
        os.environ["WAYLAND_DISPLAY"] = "wayland-e2e"
        wait_until(lambda: os.path.exists(f"{work}/runtime/wayland-e2e"), "weston did not start")
    bus = start("dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address",
                f"--address=unix:dir={work}/runtime", stdout=subprocess.PIPE)
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
    start("/usr/libexec/at-spi-bus-launcher", "--launch-immediately")
    # The beeps: on X the XKB bell notifications, on Wayland the new playback streams.
    beeps = open(work / "beeps", "w")
    if on_x:  # xkbevd rings a bell named ImAlive once it listens
        (work / "xkbevd").write_text('Bell(ImAlive) shell "echo listening"\n'
                                     'Bell() shell "echo beep"\n')
        start("xkbevd", "-cfg", f"{work}/xkbevd", stdout=beeps)
        wait_until(lambda: "listening" in read("beeps"), "xkbevd did not start")
        beep = "beep"
    else:
        start("pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1",
              "--load=module-native-protocol-unix", "--load=module-null-sink sink_name=ostavel")
        wait_until(lambda: subprocess.run(["pactl", "info"], capture_output=True).returncode == 0,
                   "PulseAudio did not start")
        start("pactl", "subscribe", stdout=beeps)
        beep = "Event 'new' on sink-input"

    app = subprocess.Popen([program], stderr=stderr, env=dict(
        os.environ, QT_QPA_PLATFORM="xcb" if on_x else "wayland",
        QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ASSUME_STDERR_HAS_CONSOLE="1"))
    desktop = Atspi.get_desktop(0)  # on the run's own bus, the program is its only application
    frame = wait_until(lambda: desktop.get_child_count() and desktop.get_child_at_index(0)
                       .get_child_at_index(0), "no window on the accessibility bus")
    controls = [frame.get_child_at_index(i) for i in range(frame.get_child_count())]
    labels = [c for c in controls if c.get_role() == Atspi.Role.LABEL]  # Label1 to Label9
    buttons = {c.get_name(): c for c in controls if c.get_role() == Atspi.Role.PUSH_BUTTON}

    def text(label):
        return labels[label - 1].get_name()

    # --- Title and client size, as the window tells assistive technology.
    title, size = frame.get_name(), frame.get_extents(Atspi.CoordType.WINDOW)
    if (title, size.width, size.height) != ("Ostavel★", 421, 279):
        fail(f"the window is {title!r}, {size.width}x{size.height}")

    # --- Numbers3 runs for at least 2.46 s on the real clock and beeps once, at its end.
    started = time.monotonic()
    buttons["Numbers3"].do_action(0)
    wait_until(lambda: text(7) in ("こんなん出ました!", "当たりますように!", "こんなのでました"),
               "Numbers3 did not end with a closing remark", 5)
    if time.monotonic() - started < 2.46:
        fail(f"Numbers3 ended after {time.monotonic() - started:.2f} s")
    wait_until(lambda: beep in read("beeps"), "no beep at the closing remark", 2)
    if text(8) != "Numbers3の予想だよ":
        fail(f"after Numbers3 the headline is {text(8)!r}")

    time.sleep(0.3)  # for the last frame to reach the screen
    if on_x:
        subprocess.run(["import", "-silent", "-window", "root", f"{work}/shot.png"])
    else:
        subprocess.run(["weston-screenshooter"], cwd=work)
    check_shot((glob.glob(f"{work}/*shot*.png") or fail("no screenshot"))[0])
    if read("beeps").count(beep) != 1:
        fail(f"{read('beeps').count(beep)} beeps in one forecast")

    # --- X: ロト6 runs for 10.76 s; a second in, while it spins, closing the window
    # must end the program at once, cleanly.
    if on_x:
        xdisplay = display.Display()
        atom = xdisplay.intern_atom
        xwindow = next(w for w in xdisplay.screen().root.query_tree().children
                       if w.get_attributes().map_state == X.IsViewable)
        buttons["ロト6"].do_action(0)
        wait_until(lambda: text(8) == "ロト6の予想です", "pressing ロト6 started nothing", 3)
        time.sleep(1)
        xwindow.send_event(protocol.event.ClientMessage(
            window=xwindow, client_type=atom("WM_PROTOCOLS"),
            data=(32, [atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])))
        xdisplay.flush()
        wait_until(lambda: app.poll() is not None, "still running a second after the close", 1)
        if app.returncode != 0:
            fail(f"the program exited with status {app.returncode}")
    if read("stderr"):
        fail("the program printed warnings")
finally:
    signal.signal(signal.SIGTERM, signal.SIG_IGN)
    os.killpg(0, signal.SIGTERM)
    with contextlib.suppress(ChildProcessError):
        while True:
            os.wait()
