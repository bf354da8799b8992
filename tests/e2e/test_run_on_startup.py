""""Run on Startup" writes the log-on Run value with the quoted program path and /autostart,
and removes it again."""

import subprocess
import time

from lupenta_e2e import Session, main, private_copy

RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"


def run_value():
    result = subprocess.run(["wine", "reg", "query", RUN_KEY, "/v", "Lupenta"],
                            capture_output=True, text=True)
    for line in result.stdout.splitlines():
        if line.strip().startswith("Lupenta"):
            return line.split("REG_SZ", 1)[1].strip()
    return None


def choose_run_on_startup(session, view):
    session.focus_lupenta()
    session.move((view[0] + view[2]) // 2, view[1] + 40)
    session.click(3)
    time.sleep(0.8)
    # From the bottom: Exit, About, Show Help, Check for New Version, Visit, Run on Startup.
    session.keys(*(["Up"] * 6), "Return")
    time.sleep(1.0)


def check_run_on_startup(exe, pattern):
    exe = private_copy(exe)
    subprocess.run(["wine", "reg", "delete", RUN_KEY, "/v", "Lupenta", "/f"],
                   capture_output=True)
    with Session(exe, pattern) as session:
        session.start_lupenta()
        view, _ = session.find_window()
        choose_run_on_startup(session, view)
        value = run_value()
        assert value and value.endswith('Lupenta.exe" /autostart') and value.startswith('"'), \
            "the Run value reads %r" % value
        choose_run_on_startup(session, view)
        assert run_value() is None, "the Run value is still there"


if __name__ == "__main__":
    main(check_run_on_startup)
