"""Drives Lupenta.exe under Wine on the current X display, as a user would.

The program runs in a Wine virtual desktop over a test pattern whose every pixel has a known
colour (tile_colour), so what the magnifier shows can be checked to the pixel.
"""

import collections
import io
import os
import shutil
import subprocess
import tempfile
import sys
import time

from PIL import Image

DESKTOP = "LupentaE2E,1920x1080"
# A child window of the magnifier: its class, whether it shows, its window text, and the name,
# role (an MSAA role number) and value of its accessible object.
Child = collections.namedtuple("Child", "kind visible text name role value")
PANEL_GREY = (95, 95, 95)
SILVER = (192, 192, 192)
TILE = 16


def tile_colour(x, y):
    """The test pattern's colour at a screen pixel (see pattern/Pattern.cpp)."""
    tx, ty = x // TILE, y // TILE
    return ((tx * 37) & 0xFF, (ty * 59) & 0xFF, ((tx + ty) * 23) & 0xFF)


def private_copy(exe):
    """A copy of the program in a folder of its own, so its settings file starts absent."""
    folder = tempfile.mkdtemp(prefix="lupenta-e2e-")
    copy = os.path.join(folder, "Lupenta.exe")
    shutil.copy(exe, copy)
    return copy


def settings_of(exe):
    path = os.path.join(os.path.dirname(exe), "Lupenta.ini")
    with open(path, "rb") as f:
        return f.read()


def clipboard_text():
    result = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True)
    return result.stdout.decode("utf-8", "replace")


def run(*args, **kwargs):
    return subprocess.run(args, check=True, capture_output=True, text=True, **kwargs)


class Session:
    """The pattern and Lupenta in one Wine desktop; everything stops when the session ends."""

    def __init__(self, exe, pattern, workdir=None, pattern_size=(1920, 1080), env=None):
        self.exe = exe
        self.env = env or {}
        self.pattern = pattern
        self.pattern_size = pattern_size
        self.workdir = workdir or os.path.dirname(exe)
        self.processes = []

    def __enter__(self):
        self.start(self.pattern, *(str(n) for n in self.pattern_size))
        # On a loaded machine the pattern can take longer than the magnifier to come up.
        self.wait_for(lambda: subprocess.run(
            ["xdotool", "search", "--name", "Lupenta test pattern"],
            capture_output=True, text=True).stdout.strip(), "the test pattern")
        time.sleep(1)
        return self

    def __exit__(self, *exc):
        self.stop()

    def start(self, *command):
        env = dict(os.environ, WINEDEBUG="-all", **self.env)
        process = subprocess.Popen(
            ["wine", "explorer", "/desktop=" + DESKTOP, *command],
            cwd=self.workdir, env=env,
            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.processes.append(process)
        return process

    def start_lupenta(self, *args):
        process = self.start(self.exe, *args)
        self.wait_for(lambda: self.find_window() is not None, "the magnifier window")
        return process

    @staticmethod
    def window_ids():
        return subprocess.run(["xdotool", "search", "--name", "^Lupenta [0-9]"],
                              capture_output=True, text=True).stdout.split()

    def window_height(self):
        """The magnifier window's outer height, from its X window (whose reported position
        is not reliable under Wine, but whose size is)."""
        ids = self.window_ids()
        if not ids:
            return None
        geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", ids[0]],
                                  capture_output=True, text=True).stdout
        for line in geometry.splitlines():
            if line.startswith("HEIGHT="):
                return int(line.split("=")[1])
        return None

    def focus_lupenta(self):
        """Gives the magnifier the keyboard, as a window manager does when it is clicked: on
        Xvfb nothing else moves the X input focus between Wine's windows."""
        ids = self.window_ids()
        assert ids, "no magnifier window to focus"
        run("xdotool", "windowfocus", "--sync", ids[0])
        time.sleep(0.3)

    def program_running(self):
        """Whether a Lupenta process of this session's program is still alive. The launcher
        that start_lupenta returns hands the program to the desktop's explorer and ends at
        once, so only the program's own process says when it has finished writing its
        settings."""
        wanted = {self.exe, os.path.abspath(self.exe)}
        for entry in os.listdir("/proc"):
            if not entry.isdigit():
                continue
            try:
                with open("/proc/%s/cmdline" % entry, "rb") as f:
                    program = f.read().split(b"\0")[0].decode("utf-8", "replace")
            except OSError:
                continue
            if program in wanted:
                return True
        return False

    def wait_for_exit(self, process, timeout=20):
        process.wait(timeout=timeout)
        self.wait_for(lambda: not self.program_running(), "the magnifier to exit", timeout)

    def stop(self):
        subprocess.run(["wineserver", "-k"], capture_output=True)
        for process in self.processes:
            try:
                process.wait(timeout=10)
            except subprocess.TimeoutExpired:
                process.kill()

    @staticmethod
    def wait_for(condition, what, timeout=30):
        deadline = time.time() + timeout
        while time.time() < deadline:
            if condition():
                return
            time.sleep(0.3)
        raise AssertionError("timed out waiting for " + what)

    # input
    @staticmethod
    def move(x, y):
        run("xdotool", "mousemove", str(x), str(y))

    @staticmethod
    def click(button=1):
        run("xdotool", "click", str(button))

    @staticmethod
    def keys(*names):
        for name in names:
            run("xdotool", "key", "--delay", "80", name)
            time.sleep(0.25)

    def copy_colour(self, swatch, *keys):
        """Opens the colour panel's menu at `swatch`, chooses the copy command the keys lead to,
        closes the "copied" box that confirms it and returns the clipboard's text."""
        self.open_menu_at(swatch)
        self.keys(*keys, "Return")
        self.wait_for(self.copied_box_open, 'the "copied" box')
        self.keys("Return")
        self.wait_for(lambda: not self.copied_box_open(), 'the "copied" box to close')
        self.bring_to_front()
        self.focus_lupenta()
        return clipboard_text()

    def bring_to_front(self):
        """Raises the magnifier when the pattern has come over it: as an unowned message box
        closes, Wine on Xvfb now and then hands the activation to the pattern after ours."""
        time.sleep(0.5)
        if self.find_window() is None:
            run("xdotool", "windowraise", self.window_ids()[0])
        self.wait_for(lambda: self.find_window() is not None, "the magnifier in front",
                      timeout=10)

    def open_menu_at(self, point):
        """Right-clicks at `point` and waits for the popup menu to cover what lies just below
        and right of it."""
        self.move(*point)
        near = (point[0] + 4, point[1] + 4, point[0] + 120, point[1] + 40)
        before = self.screenshot().crop(near)
        self.click(3)
        self.wait_for(lambda: self.screenshot().crop(near) != before, "the menu to open",
                      timeout=10)
        time.sleep(0.3)

    @staticmethod
    def copied_box_open():
        """Whether a box captioned "Lupenta" shows. The window that carries the program's
        task-bar button has that name too, but no size."""
        ids = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Lupenta$"],
                             capture_output=True, text=True).stdout.split()
        for window in ids:
            geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window],
                                      capture_output=True, text=True).stdout
            sizes = dict(line.split("=") for line in geometry.splitlines() if "=" in line)
            if int(sizes.get("WIDTH", 0)) > 1 and int(sizes.get("HEIGHT", 0)) > 1:
                return True
        return False

    def view_follows_pointer(self, view):
        """Whether the view shows something else once the pointer has moved across the pattern:
        false while sampling is paused."""
        self.move(200, 200)
        time.sleep(0.8)
        before = self.screenshot().crop(view)
        self.move(600, 300)
        time.sleep(0.8)
        return self.screenshot().crop(view) != before

    # output
    def child_windows(self):
        """The magnifier's child windows as another program reads them through Win32 and as
        a screen reader hears them, from LupentaReader.exe run in the same Wine desktop."""
        reader = os.path.join(os.path.dirname(self.pattern), "LupentaReader.exe")
        folder = tempfile.mkdtemp(prefix="lupenta-reader-")
        out = os.path.join(folder, "windows.txt")
        self.start(reader, "Z:" + out.replace("/", "\\"))
        self.wait_for(lambda: os.path.exists(out), "the reader's list of windows")
        with open(out, encoding="utf-8") as f:
            rows = [line.rstrip("\n").split("\t") for line in f]
        shutil.rmtree(folder)
        return [Child(row[0], row[1] == "1", row[2], row[3], int(row[4]), row[5])
                for row in rows]

    @staticmethod
    def screenshot():
        png = subprocess.run(["import", "-window", "root", "png:-"], check=True,
                             capture_output=True).stdout
        return Image.open(io.BytesIO(png)).convert("RGB")

    def find_window(self, shot=None):
        """The magnifier's view and panel, found by the panel's dark grey: (view, panel) boxes
        as (left, top, right, bottom), right and bottom excluded."""
        shot = shot or self.screenshot()
        width, height = shot.size
        pixels = shot.load()
        for y in range(0, height, 4):
            for x in range(0, width, 8):
                if pixels[x, y] != PANEL_GREY:
                    continue
                top = y
                while top > 0 and pixels[x, top - 1] == PANEL_GREY:
                    top -= 1
                # The panel's top grey row runs above its controls, from bevel to bevel.
                left = x
                while left > 0 and pixels[left - 1, top] == PANEL_GREY:
                    left -= 1
                right = x
                while right < width and pixels[right, top] == PANEL_GREY:
                    right += 1
                if right - left < 100:
                    continue
                bottom = y
                while bottom < height and pixels[left, bottom] == PANEL_GREY:
                    bottom += 1
                # The grey is framed by the panel's one-pixel bevel.
                left, top, right, bottom = left - 1, top - 1, right + 1, bottom + 1
                # Zoomed, the view is framed in silver; at zoom 1 it is not, and the window's
                # height tells where it starts (without a title bar the window is all view
                # and panel).
                view_top = top
                while view_top > 0 and pixels[left, view_top - 1] == SILVER:
                    view_top -= 1
                if top - view_top < 20:
                    height_of_window = self.window_height()
                    if not height_of_window:
                        continue
                    view_top = bottom - height_of_window
                return (left, view_top, right, top), (left, top, right, bottom)
        return None


def main(test):
    """Runs `test(exe, pattern)` with the paths given on the command line; exit code 1 on
    failure."""
    exe, pattern = sys.argv[1], sys.argv[2]
    try:
        test(exe, pattern)
    except AssertionError as failure:
        print("FAILED:", failure)
        sys.exit(1)
    print("passed")
