"""Serves a page folder on 127.0.0.1 and drives headless Chromium at it, through chromedriver:
what the page's tests (tests/web) and its benchmark (bench/web) share. Debian's python3 with
python3-selenium, chromium and chromium-driver."""
import os
import re
import signal
import subprocess
import sys
import time

from selenium import webdriver
from selenium.webdriver.chrome.service import Service


class Server:
    """python3 -m http.server on a free port of 127.0.0.1, stopped by its process id."""

    def __init__(self, folder):
        self.process = subprocess.Popen(
            [sys.executable, "-u", "-m", "http.server", "--bind", "127.0.0.1", "0"],
            cwd=folder, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
        line = self.process.stdout.readline()
        port = re.search(r"port (\d+)", line)
        if not port:
            self.stop()
            raise RuntimeError(f"the web server did not start: {line!r}")
        self.url = f"http://127.0.0.1:{port.group(1)}/"

    def stop(self):
        if self.process.poll() is None:
            os.kill(self.process.pid, signal.SIGTERM)
            self.process.wait(10)


def chromium(scale=1, size=(640, 480), phone=None, throttle_hidden=False, init_script=None,
             arguments=()):
    """A headless Chromium at device scale scale with a viewport of size CSS px, or a phone's
    viewport (width, height, scale). Chromedriver turns the throttling of hidden pages off;
    throttle_hidden turns it back on. init_script runs in every page before its own."""
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ["--headless=new", "--no-sandbox", "--disable-gpu", "--hide-scrollbars",
                     f"--force-device-scale-factor={scale}", "--lang=ja",
                     f"--window-size={size[0] * scale},{size[1] * scale}", *arguments]:
        options.add_argument(argument)
    if phone:
        width, height, ratio = phone
        options.add_experimental_option("mobileEmulation", {
            "deviceMetrics": {"width": width, "height": height, "pixelRatio": ratio,
                              "touch": True}})
    if throttle_hidden:
        options.add_experimental_option("excludeSwitches", ["disable-background-timer-throttling",
                                                            "disable-renderer-backgrounding",
                                                            "disable-backgrounding-occluded-windows"])
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    if init_script:
        driver.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {"source": init_script})
    return driver


def wait_until(condition, what, seconds=10.0, step=0.02):
    deadline = time.monotonic() + seconds
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > deadline:
            raise AssertionError(f"{what}: not within {seconds:.0f} s")
        time.sleep(step)
