"""The frame trace: nothing is written unless LUPENTA_TRACE names a file, and then every tick
adds a line of its stages' microseconds, whether it presented, and the frames a second."""

import os
import time

from lupenta_e2e import Session, main, private_copy

HEADER = "time_us capture_us pixels_us present_us rest_us presented fps"


def trace_lines(path):
    if not os.path.exists(path):
        return []
    with open(path) as f:
        return f.read().splitlines()


def wiggle(session, seconds):
    """Moves the pointer over the pattern for a while, so ticks have new frames to present."""
    deadline = time.time() + seconds
    step = 0
    while time.time() < deadline:
        session.move(300 + step % 200, 250 + step % 100)
        step += 7
        time.sleep(0.05)


def check_frame_trace(exe, pattern):
    untraced = private_copy(exe)
    folder = os.path.dirname(untraced)
    with Session(untraced, pattern) as session:
        session.start_lupenta()
        wiggle(session, 2)
    left = sorted(os.listdir(folder))
    assert left in (["Lupenta.exe"], ["Lupenta.exe", "Lupenta.ini"]), \
        "without LUPENTA_TRACE the folder holds %s" % left

    traced = private_copy(exe)
    trace = os.path.join(os.path.dirname(traced), "trace.txt")
    with Session(traced, pattern, env={"LUPENTA_TRACE": "trace.txt"}) as session:
        session.start_lupenta()
        wiggle(session, 2)
        # Lines reach the file once a second; wait for a line that carries a rate.
        session.wait_for(lambda: any(line.split()[-1] not in ("0.0", "fps")
                                     for line in trace_lines(trace)[1:]),
                         "a traced tick with a frame rate")
    lines = trace_lines(trace)
    assert lines[0] == HEADER, "the trace starts %r" % lines[0]
    ticks = [line.split() for line in lines[1:]]
    assert len(ticks) > 20, "only %d ticks traced" % len(ticks)
    times = []
    for fields in ticks:
        assert len(fields) == 7, "a trace line reads %r" % " ".join(fields)
        stages = [int(v) for v in fields[1:5]]
        assert all(0 <= us < 1000000 for us in stages), "stages %s" % stages
        assert fields[5] in ("0", "1")
        times.append(int(fields[0]))
    assert times == sorted(times), "ticks out of order"
    presented = [fields for fields in ticks if fields[5] == "1"]
    assert presented, "no traced tick presented a frame"
    assert all(int(f[1]) > 0 and int(f[2]) > 0 for f in presented), \
        "a presented frame without capture or pixel work"
    fps = max(float(f[6]) for f in ticks)
    assert 1 <= fps <= 100, "%.1f frames a second" % fps


if __name__ == "__main__":
    main(check_frame_trace)
