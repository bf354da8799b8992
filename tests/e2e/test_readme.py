"""The zip a user is handed works as it stands: unpacked into an empty folder, its Lupenta.exe
finds the read-me beside it, and About's "View Readme.txt" opens it in the text editor."""

import os
import subprocess
import sys
import tempfile
import time
import zipfile

from lupenta_e2e import Session, main

SOURCE = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))


def windows_named(pattern):
    return subprocess.run(["xdotool", "search", "--onlyvisible", "--name", pattern],
                          capture_output=True, text=True).stdout.split()


def unpacked_dist(exe):
    """The zip packed by the same script as `make dist`, unpacked into a folder of its own."""
    work = tempfile.mkdtemp(prefix="lupenta-dist-")
    archive = os.path.join(work, "Lupenta.zip")
    subprocess.run([sys.executable, os.path.join(SOURCE, "scripts", "dist-zip"), archive, exe,
                    os.path.join(SOURCE, "dist", "readme.txt")], check=True)
    folder = os.path.join(work, "unpacked")
    with zipfile.ZipFile(archive) as packed:
        assert sorted(packed.namelist()) == ["Lupenta.exe", "readme.txt"], packed.namelist()
        packed.extractall(folder)
    return os.path.join(folder, "Lupenta.exe")


def associate_text_files_with_notepad():
    """Windows opens .txt files with Notepad out of the box; a fresh Wine prefix knows the
    "txtfile" class but maps no extension to it."""
    subprocess.run(["wine", "reg", "add", r"HKLM\Software\Classes\.txt", "/ve", "/d", "txtfile",
                    "/f"], check=True, capture_output=True,
                   env=dict(os.environ, WINEDEBUG="-all"))


def check_readme(exe, pattern):
    associate_text_files_with_notepad()
    with Session(unpacked_dist(exe), pattern) as session:
        session.start_lupenta()
        view, _ = session.find_window()

        session.focus_lupenta()
        session.move((view[0] + view[2]) // 2, view[1] + 40)
        session.click(3)
        time.sleep(0.8)
        session.keys("Up", "Up", "Return")  # "About Lupenta..."
        session.wait_for(lambda: windows_named("^About Lupenta$"), "the About dialog")

        # OK has the focus first; the read-me button is next in the tab order.
        session.keys("Tab", "space")
        session.wait_for(lambda: windows_named(r"^readme\.txt - Notepad$"),
                         "the read-me in Notepad", timeout=45)
        assert not windows_named("^Error$"), "the read-me button reported an error"


if __name__ == "__main__":
    main(check_readme)
