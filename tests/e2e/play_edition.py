#!/usr/bin/python3
# Plays one edition program on X (Xvfb), on Wayland (headless sway) or, for the Windows
# program, under Wine on X at 96 or 192 DPI, with a display server, session bus and sound server
# of its own. It reads the window as assistive technology does (AT-SPI on Linux; on Windows a
# probe in a process of its own, with WM_GETTEXT) and presses its buttons the same way, counts
# the beeps, reads from the kernel the processor time each forecast takes and checks a
# screenshot against what tests/expected.json says the edition shows. It then closes the window
# mid-forecast the way a window manager or the compositor does. sway will not run as root:
# there the Wayland run goes on as an unprivileged user, with copies of the files it reads.
#
# usage: play_edition.py PROGRAM x11|wayland|wayland-quiet ASSETS
#        play_edition.py PROGRAM.exe wine96|wine192 ASSETS PROBE.exe
#   the folder of the rendered pictures; for Windows the probe, and WINEPREFIX a prefix of the
#   run's own. wayland-quiet: on a GNOME desktop with its event sounds switched off, so no
#   forecast beeps, until the switch is turned on while the program runs.
import contextlib, ctypes, glob, itertools, os, re, shutil, signal, subprocess, sys, tempfile, time
from pathlib import Path

from Xlib import X, display, protocol

sys.path.insert(0, str(Path(__file__).resolve().parent.parent))
from expected import CLOSING, EDITIONS, EXPECTED, FIRST_TEXTS, GAMES, pixels, rgb, wrong_numbers  # noqa: E402

program, platform, assets, *probe = sys.argv[1:]
here = Path(__file__).resolve().parent
if platform.startswith("wayland") and os.geteuid() == 0:
    # Everything the run reads is copied where that user can read it, the tree being perhaps
    # its owner's alone: the tests with this driver and the expected values, the program, its
    # pictures, and any file a sanitizer's options name.
    with tempfile.TemporaryDirectory(prefix="ostavel-e2e-files-") as files:
        os.chmod(files, 0o755)
        shutil.copytree(here.parent, f"{files}/tests")
        shutil.copytree(assets, f"{files}/assets")
        env = dict(os.environ)
        for name in [n for n in env if n.endswith("SAN_OPTIONS")]:
            options = [option.split("=", 1) for option in env[name].split(":") if option]
            env[name] = ":".join(f"{k}={shutil.copy(v, files) if os.path.isfile(v) else v}"
                                 for k, v in options)
        sys.exit(subprocess.run(["setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups",
                                 f"{files}/tests/e2e/{Path(__file__).name}", shutil.copy(program, files),
                                 platform, f"{files}/assets"], env=env).returncode)
edition = EDITIONS[Path(program).stem]
colour = bytes(edition["colour"])
on_wine = platform.startswith("wine")
on_x = on_wine or platform == "x11"
quiet = platform == "wayland-quiet"
scale = int(platform[4:]) // 96 if on_wine else 1
picture_png = f"{assets}/{edition['picture']}{'@2x' * (scale == 2)}.png"
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


def processor():  # seconds the program has run on a processor
    stat = Path(f"/proc/{app.pid}/stat").read_text().rsplit(")", 1)[1].split()
    return (int(stat[11]) + int(stat[12])) / os.sysconf("SC_CLK_TCK")


def start(*command, stdout=subprocess.DEVNULL, **options):
    return subprocess.Popen(command, stdout=stdout, stderr=subprocess.DEVNULL, **options)


class AccessibleWindow:
    """The Qt window through AT-SPI: the labels in their order, the buttons by caption."""

    def __init__(self):
        import gi
        gi.require_version("Atspi", "2.0")
        from gi.repository import Atspi
        desktop = Atspi.get_desktop(0)  # on the run's own bus, the program is its only app
        self.frame = wait_until(lambda: desktop.get_child_count() and desktop.get_child_at_index(0)
                                .get_child_at_index(0), "no window on the accessibility bus")
        controls = [self.frame.get_child_at_index(i) for i in range(self.frame.get_child_count())]
        labels = [c for c in controls if c.get_role() == Atspi.Role.LABEL]
        buttons = {c.get_name(): c for c in controls if c.get_role() == Atspi.Role.PUSH_BUTTON}
        size = lambda: self.frame.get_extents(Atspi.CoordType.WINDOW)  # noqa: E731
        self.window = lambda: (self.frame.get_name(), size().width, size().height)
        self.text = lambda label: labels[label - 1].get_name()
        self.click = lambda button: buttons[FIRST_TEXTS[button]].do_action(0)


class ProbedWindow:
    """The Win32 window through the probe, a Windows program that reads it with WM_GETTEXT."""

    def __init__(self, probe):
        self.probe = subprocess.Popen(["wine", probe], stdin=subprocess.PIPE,
                                      stdout=subprocess.PIPE, text=True, encoding="utf-8")
        title, width, height = self.ask("window").rsplit(" ", 2)
        self.window = lambda: (title, int(width), int(height))
        self.text = lambda label: self.ask(f"text Label{label}")
        self.click = lambda button: self.ask(f"click {button}")

    def ask(self, command):
        print(command, file=self.probe.stdin, flush=True)
        return self.probe.stdout.readline().rstrip("\n")


def check_screen():
    time.sleep(0.3)  # for the last frame to reach the screen
    subprocess.run(["import", "-silent", "-window", "root", f"{work}/shot.png"] if on_x
                   else ["grim", f"{work}/shot.png"])
    png = (glob.glob(f"{work}/*shot*.png") or fail("no screenshot"))[0]
    if os.environ.get("OSTAVEL_E2E_SHOTS"):  # where to keep the screenshots, to look at them
        shutil.copy(png, f"{os.environ['OSTAVEL_E2E_SHOTS']}/{Path(program).stem}-{platform}.png")
    shot, picture = pixels(png), pixels(picture_png)
    # The client area starts where the picture's top row shows exactly, unscaled and cut off at
    # the client area's width; the checks below compare the rest of it with the picture. Places
    # are those of 96 DPI, scaled.
    top = re.escape(rgb(picture, 0, 0, 421 * scale))
    corner, *_ = ([m.start() // 3 for m in re.finditer(top, shot[1]) if m.start() % 3 == 0]
                  or fail(f"the screenshot does not show {picture_png}"))

    at = lambda x, y: rgb(shot, corner + x, y)  # noqa: E731 -- a pixel of the client area

    def box(left, top, right, bottom):
        return [(x, y) for x in range(left * scale, right * scale)
                for y in range(top * scale, bottom * scale)]

    dark = [sum(sum(at(x, y)) < 384 for x, y in box(32 + 64 * p, 64, 68 + 64 * p, 92))
            for p in range(6)]
    if min(dark[:3]) < 10 * scale or max(dark[3:]) > 0:
        fail(f"bubbles 1-3 must show digits and 4-6 nothing; dark pixels: {dark}")
    # The text pixels, those not the picture's, of the message line above the buttons' tops
    # and of the credit line: both in the edition's colour.
    for line, area in (("message", (128, 184, 297, 208)), ("credit", (64, 256, 353, 273))):
        ink = [at(x, y) for x, y in box(*area) if at(x, y) != rgb(picture, x, y)]
        if len(ink) < 20 or set(ink) != {colour}:
            fail(f"the {line} line is not drawn in {tuple(colour)} alone: {len(ink)} pixels "
                 f"in {sorted(set(map(tuple, ink)))[:3]}...")
    # ミニロト in different glyphs: a font without them draws four equal boxes. The glyphs are
    # the runs of columns with dark pixels inside the button's focus frame; three different
    # runs at least, in case two glyphs touch.
    columns = [bytes(sum(at(x, y)) < 384 for y in range(213 * scale, 229 * scale))
               for x in range(53 * scale, 116 * scale)]
    glyphs = {b"".join(run) for inked, run in itertools.groupby(columns, any) if inked}
    if len(glyphs) < 3:
        fail(f"the button ミニロト shows {len(glyphs)} different glyphs, not ミ, ニ, ロ and ト")


os.setpgid(0, 0)  # every process of the run is in this group and ends with it;
ctypes.CDLL(None).prctl(36, 1)  # PR_SET_CHILD_SUBREAPER: their orphans are reaped here
try:
    if on_x:
        xvfb = start("Xvfb", "-displayfd", "1", "-screen", "0", "1280x720x24", "-nolisten", "tcp",
                     stdout=subprocess.PIPE)
        os.environ["DISPLAY"] = ":" + (xvfb.stdout.readline().decode().strip() or fail("no Xvfb"))
        if on_wine:  # Wine waits for a window manager to take a closed window off the screen
            start("evilwm", "-fn", "fixed")
    else:
        (work / "sway").write_text("output HEADLESS-1 resolution 640x480\n")
        start("sway", "-c", f"{work}/sway", env=dict(os.environ, WLR_BACKENDS="headless",
                                                    WLR_LIBINPUT_NO_DEVICES="1",
                                                    WLR_RENDERER="pixman"))
        found = lambda name: glob.glob(f"{work}/runtime/{name}")  # noqa: E731
        os.environ["SWAYSOCK"] = wait_until(lambda: found("sway-ipc.*.sock"), "no sway")[0]
        os.environ["WAYLAND_DISPLAY"] = Path(wait_until(lambda: found("wayland-?"), "no sway")[0]).name
    # Quiet, a GNOME desktop, whose settings portal the bus starts for the program and which
    # tells it the event-sounds switch, turned off there as a user turns it.
    bus = start("dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address",
                f"--address=unix:dir={work}/runtime", stdout=subprocess.PIPE,
                env=dict(os.environ, XDG_CURRENT_DESKTOP="GNOME" if quiet else ""))
    os.environ["DBUS_SESSION_BUS_ADDRESS"] = bus.stdout.readline().decode().strip()
    event_sounds = ["gsettings", "set", "org.gnome.desktop.sound", "event-sounds"]
    if quiet:
        subprocess.run(event_sounds + ["false"], check=True)
    if not on_wine:
        start("/usr/libexec/at-spi-bus-launcher", "--launch-immediately")
    # The beeps: on X the XKB bell notifications (Wine rings the X bell for MessageBeep), on
    # Wayland the new playback streams.
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

    if on_wine:
        subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                        "/t", "REG_DWORD", "/d", str(96 * scale), "/f"], capture_output=True)
        app = subprocess.Popen(["wine", program], stderr=stderr)
        window = ProbedWindow(*probe)
    else:
        app = subprocess.Popen([program], stderr=stderr, env=dict(
            os.environ, QT_QPA_PLATFORM="xcb" if on_x else "wayland",
            QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1", QT_ASSUME_STDERR_HAS_CONSOLE="1"))
        window = AccessibleWindow()
    text = window.text

    # --- Title, client size and the texts at start.
    size, seen = EXPECTED["window"], (window.window(), [text(n) for n in range(1, 10)])
    if seen != ((size["title"], size["width"] * scale, size["height"] * scale),
                [FIRST_TEXTS[f"Label{n}"] for n in range(1, 10)]):
        fail(f"at start the window and its labels are {seen}")

    def play(game):
        """Presses a game's button and checks its whole forecast."""
        least = GAMES[game]["reveals"][-1]
        beeps_before, started, cpu = read("beeps").count(beep), time.monotonic(), processor()
        window.click(game)
        wait_until(lambda: text(7) not in CLOSING, f"{game} did not start", 2)
        wait_until(lambda: text(7) in CLOSING, f"{game} did not end with a closing remark", 15)
        lasted = time.monotonic() - started
        # The reels are paced by sleeping in the event loop, not by spinning through the waits.
        if (busy := (processor() - cpu) / lasted) > 0.2 or lasted < least:
            fail(f"{game} took {lasted:.2f} s, at least {least} s, busy for {busy:.0%} of it")
        if not quiet:
            wait_until(lambda: read("beeps").count(beep) > beeps_before, "no beep at the end", 2)
        bubbles = [text(n) for n in range(1, 7)]
        if text(8) != GAMES[game]["headline"] or wrong_numbers(game, bubbles):
            fail(f"after {game} the headline reads {text(8)!r} and the bubbles {bubbles}")

    # --- Numbers3 on the real clock, then the screen as it shows its digits.
    play("Numbers3")
    check_screen()
    if read("beeps").count(beep) != (0 if quiet else 1):
        fail(f"{read('beeps').count(beep)} beeps in one forecast{' without sounds' * quiet}")
    # --- Event sounds switched on while the program runs: the next forecast beeps.
    if quiet:
        subprocess.run(event_sounds + ["true"], check=True)
        quiet = False
        play("Numbers3")

    # --- Windows: every game.
    if on_wine and scale == 1:
        for game in ("Numbers4", "miniroto", "roto6"):
            play(game)

    # --- ロト6 runs for over 10 s; a second in, while it spins, closing the window as the window
    # manager (an X client message) or the compositor (an xdg_toplevel close) does must end the
    # program at once, cleanly.
    if on_x:
        xdisplay = display.Display()
        atom = xdisplay.intern_atom
        found = subprocess.run(["xdotool", "search", "--name", f"^{EXPECTED['window']['title']}$"],
                               capture_output=True, text=True).stdout.split()
        xwindow = xdisplay.create_resource_object("window", int(found[0]))
        if xwindow.get_full_property(atom("_MOTIF_WM_HINTS"), 0).value[1] & 0x10:
            fail("the fixed window offers the window manager to maximise it")
        def close():
            xwindow.send_event(protocol.event.ClientMessage(
                window=xwindow, client_type=atom("WM_PROTOCOLS"),
                data=(32, [atom("WM_DELETE_WINDOW"), X.CurrentTime, 0, 0, 0])))
            xdisplay.flush()
    else:
        close = lambda: subprocess.run(["swaymsg", f"[pid={app.pid}] kill"])  # noqa: E731
    window.click("roto6")
    wait_until(lambda: text(8) == GAMES["roto6"]["headline"], "pressing ロト6 started nothing", 3)
    time.sleep(1)
    close()
    wait_until(lambda: app.poll() is not None, "still running a second after the close", 1)
    if app.returncode != 0 or read("stderr"):
        fail(f"the program exited with status {app.returncode} or printed warnings")
finally:
    signal.signal(signal.SIGTERM, signal.SIG_IGN)
    os.killpg(0, signal.SIGTERM)
    with contextlib.suppress(ChildProcessError):
        while True:
            os.wait()
