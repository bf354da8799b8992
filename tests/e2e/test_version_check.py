""""Check for New Version..." against a table of hostile servers standing in for the vendor's
(Wine's WinINet honours http_proxy, so a loopback server answers for the vendor's host). Each
case ends in the right box within the deadline, with memory bounded, the view following the
pointer while it waits, and the command working again after; Exit during a check ends the
program cleanly."""

import os
import random
import socket
import subprocess
import threading
import time

from lupenta_e2e import Session, main, private_copy, tile_colour

DEADLINE_BOUND = 25.0  # the program's deadline is 15 s; the rest is room for a slow machine
PEAK_BOUND_KB = 150 * 1024
WARNING = "^Warning$"
DIALOG = "^Check For Lupenta Update$"

GOOD_FILE = (b'<meta name="Version" content="2.0">\r\n'
             b'<meta name="whatsnew1" content="Sharper grid">\r\n')


def reply(status, body, length=None, extra=b""):
    length = len(body) if length is None else length
    return (b"HTTP/1.1 " + status + b"\r\nContent-Type: text/plain\r\nContent-Length: "
            + str(length).encode() + b"\r\n" + extra + b"Connection: close\r\n\r\n" + body)


def junk():
    generator = random.Random(7)
    data = bytes(generator.randrange(256) for _ in range(4096))
    assert b"Version" not in data and b"\0" in data
    return data


# Each serves one request on `conn`; `release` is set when the case is over.
def answer(data):
    def serve(conn, release):
        conn.sendall(data)
    return serve


def silent(conn, release):
    release.wait(60)


def silent_mid_body(conn, release):
    conn.sendall(reply(b"200 OK", GOOD_FILE[:20], length=len(GOOD_FILE)))
    release.wait(60)


def byte_a_second(conn, release):
    conn.sendall(reply(b"200 OK", b"", length=len(GOOD_FILE)))
    for byte in GOOD_FILE:
        conn.sendall(bytes([byte]))
        if release.wait(1.0):
            return


def hundred_megabytes(conn, release):
    size = 100 * 1024 * 1024
    conn.sendall(reply(b"200 OK", b"", length=size))
    chunk = b"x" * 65536
    for _ in range(size // len(chunk)):
        if release.is_set():
            return
        conn.sendall(chunk)


def endless(conn, release):
    conn.sendall(reply(b"200 OK", b"", length=10 * 1024 ** 3))
    chunk = b"x" * 65536
    while not release.is_set():
        conn.sendall(chunk)


CASES = [
    # name, server, box, slow (the program waits for its deadline)
    ("good reply", answer(reply(b"200 OK", GOOD_FILE)), DIALOG, False),
    ("silent before headers", silent, WARNING, True),
    ("silent mid-body", silent_mid_body, WARNING, True),
    ("one byte a second", byte_a_second, WARNING, True),
    ("100 MB body", hundred_megabytes, WARNING, False),
    ("endless body, 10 GB announced", endless, WARNING, False),
    ("404", answer(reply(b"404 Not Found", b"<html>Not Found</html>")), WARNING, False),
    ("500", answer(reply(b"500 Internal Server Error", b"oops")), WARNING, False),
    ("redirect to the file", answer(reply(
        b"302 Found", b"", extra=b"Location: /version/lupenta.txt?moved\r\n")), WARNING, False),
    ("binary junk with NUL bytes", answer(reply(b"200 OK", junk())), WARNING, False),
    ("HTML page", answer(reply(
        b"200 OK", b"<html><head><title>Welcome</title></head><body>Hello</body></html>")),
     WARNING, False),
]


class HostileServer:
    """A loopback HTTP server answering every request with the current case's manner."""

    def __init__(self):
        self.listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.listener.bind(("127.0.0.1", 0))
        self.listener.listen(16)
        self.port = self.listener.getsockname()[1]
        self.manner = silent
        self.release = threading.Event()
        self.requests = []
        threading.Thread(target=self.accept, daemon=True).start()

    def next_case(self, manner):
        self.release.set()
        self.release = threading.Event()
        self.manner = manner
        self.requests = []

    def accept(self):
        while True:
            try:
                conn, _ = self.listener.accept()
            except OSError:
                return
            threading.Thread(target=self.handle, args=(conn, self.manner, self.release),
                             daemon=True).start()

    def handle(self, conn, manner, release):
        conn.settimeout(90)
        try:
            request = b""
            while b"\r\n\r\n" not in request:
                data = conn.recv(4096)
                if not data:
                    return
                request += data
            self.requests.append(request.split(b"\r\n")[0].decode("latin-1"))
            manner(conn, release)
        except OSError:
            pass
        finally:
            conn.close()

    def close(self):
        self.release.set()
        self.listener.close()


def window_named(name):
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name],
                          capture_output=True, text=True).stdout.split()


def lupenta_pid(exe):
    folder = os.path.basename(os.path.dirname(exe))
    for entry in os.listdir("/proc"):
        if not entry.isdigit():
            continue
        try:
            with open("/proc/%s/cmdline" % entry, "rb") as f:
                command = f.read().decode("utf-8", "replace")
        except OSError:
            continue
        if folder in command and "Lupenta.exe" in command and "explorer" not in command:
            return int(entry)
    return None


def memory_kb(pid, field):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    raise AssertionError("no %s for process %d" % (field, pid))


def reset_peak(pid):
    """Restarts VmHWM from the current resident size, so each case has a peak of its own."""
    try:
        with open("/proc/%d/clear_refs" % pid, "w") as f:
            f.write("5")
    except OSError:
        pass


def choose_check(session, view):
    """Chooses "Check for New Version..." from the menu; returns when it was chosen."""
    session.focus_lupenta()
    session.move((view[0] + view[2]) // 2, view[1] + 40)
    session.click(3)
    time.sleep(0.8)
    session.keys("Up", "Up", "Up", "Up")
    chosen = time.time()
    session.keys("Return")
    return chosen


def view_shows_pointer(session, view, pointer, zoom=2):
    left, top, right, bottom = view
    width, height = right - left, bottom - top
    expected = tile_colour(pointer[0] - (width // zoom) // 2 + 5,
                           pointer[1] - (height // zoom) // 2 + 5)
    return session.screenshot().getpixel((left + 10, top + 10)) == expected


def check_view_live(session, view):
    """The view follows the pointer."""
    for pointer in ((300, 250), (420, 880)):
        session.move(*pointer)
        session.wait_for(lambda: view_shows_pointer(session, view, pointer),
                         "the view to follow the pointer to %s" % (pointer,),
                         timeout=5)


def wait_for_box(started, box):
    while time.time() - started < 60:
        if window_named(box):
            return time.time() - started
        if box != WARNING and window_named(WARNING):
            raise AssertionError("a warning instead of %s" % box)
        time.sleep(0.2)
    raise AssertionError("no %s box after 60 s" % box)


def check_versions(exe, pattern):
    server = HostileServer()
    proxy = "http://127.0.0.1:%d" % server.port
    copy = private_copy(exe)
    results = []
    try:
        with Session(copy, pattern, env={"http_proxy": proxy}) as session:
            session.start_lupenta()
            view, _ = session.find_window()
            pid = lupenta_pid(copy)
            assert pid, "no Lupenta.exe process"
            for name, manner, box, slow in CASES:
                server.next_case(manner)
                reset_peak(pid)
                started = choose_check(session, view)
                if slow:
                    check_view_live(session, view)
                    # The command is disabled while the check waits: choosing it again
                    # starts nothing.
                    choose_check(session, view)
                elapsed = wait_for_box(started, box)
                peak = memory_kb(pid, "VmHWM")
                results.append((name, elapsed, peak, box.strip("^$")))
                print("%-30s %5.1f s  peak %6.1f MB  %s" % (name, elapsed, peak / 1024,
                                                          box.strip("^$")), flush=True)
                assert elapsed < DEADLINE_BOUND, "%s: the box took %.1f s" % (name, elapsed)
                assert peak < PEAK_BOUND_KB, "%s: peak %d kB" % (name, peak)
                assert len(server.requests) == 1, "%s: requests %r" % (name, server.requests)
                assert "/version/lupenta.txt" in server.requests[0], server.requests[0]
                session.keys("Escape" if box == DIALOG else "Return")
                session.wait_for(lambda: not window_named(box), "the box to close", timeout=10)
                assert session.find_window() is not None, "%s: the magnifier is gone" % name
                # A connection given up mid-reply must not starve the window afterwards.
                check_view_live(session, view)

            # Exit while a check waits on a silent server: the program ends, without a hang
            # or a crash.
            server.next_case(silent)
            choose_check(session, view)
            time.sleep(2.0)
            assert not window_named(WARNING), "a box before the deadline"
            session.focus_lupenta()
            exiting = time.time()
            session.keys("alt+F4")
            session.wait_for(lambda: lupenta_pid(copy) is None, "Lupenta to end", timeout=15)
            print("Exit during a check: ended after %.1f s" % (time.time() - exiting))
            assert not window_named("Program Error"), "Lupenta crashed on exit"
    finally:
        server.close()


if __name__ == "__main__":
    main(check_versions)
