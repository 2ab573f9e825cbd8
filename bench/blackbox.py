#!/usr/bin/python3
"""Black-box measurements of the real program under Xvfb, against the bare work and peers.
Run through bench/blackbox.sh, which installs what this needs, builds, and provides the
display and the session bus. Every figure is a median over rounds with its spread (lowest to
highest); within a round the contenders take turns in an order that rotates from round to
round, on the same files in the same file system.

  rename   key press (space on 連番化) to the last file renamed and to the re-read list shown,
           against the bare renameat2 loop (bare_rename), perl rename and mmv doing the same
           work; with a screen reader listening (an AT-SPI client subscribed to text
           events, atspi_listen.py, and Qt's bridge switched on) against the same run without.
  list     choosing the filter entry "jpg" by keyboard to the re-read list shown, against
           readdir + match + natural sort written plainly in C (bare_list), and the same with
           ICU's Japanese sort keys, the program's order (bare_list --icu).
  start    program start to its window mapped and first shown, against a plain Qt window
           listing the same folder (plain_list_window); empty folder and the rename folders.
           In the empty folder also against that window with Qt's Japanese catalogs and
           one Japanese line (plain_list_window --japanese).
  viewer   Enter on the file list to the viewer shown, against decoding alone; peak memory at
           open and after 20 zoom steps against a minimal Qt window showing the decoded picture
           (plain_viewer); one zoom step (keypad "+") to its last paint.
"""
import argparse
import os
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

ARGS = None
RESULTS = {}  # (group, label) -> list of values


def record(group, label, value):
    RESULTS.setdefault((group, label), []).append(value)


def run(cmd, **kw):
    return subprocess.run(cmd, check=True, capture_output=True, text=True, **kw).stdout


def parse(line):
    return {k: float(v) for k, v in (item.split("=") for item in line.split())}


def xdo(*args):
    subprocess.run(["xdotool", *args], check=False, capture_output=True)


def peak_mb(pid):
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith("VmHWM:"):
                return int(line.split()[1]) / 1024.0
    return 0.0


def stop(pid):
    try:
        os.kill(pid, signal.SIGKILL)
    except ProcessLookupError:
        return
    for _ in range(500):
        if not os.path.exists(f"/proc/{pid}") or open(f"/proc/{pid}/stat").read().split()[2] == "Z":
            return
        time.sleep(0.01)


def settle(seconds=0.3):
    time.sleep(seconds)


def type_base_name(new):
    """From the drive list, Tab to the base name, type it, and Tab on to the 連番化 button."""
    xdo("key", "--delay", "40", "Tab", "Tab")
    xdo("type", "--delay", "30", new)
    xdo("key", "--delay", "40", "Tab", "Tab", "Tab", "Tab")
    settle()


class Started:
    def __init__(self, cmd, cwd, env, name):
        runtime = tempfile.mkdtemp(prefix="runtime-", dir=ARGS.scratch)
        os.chmod(runtime, 0o700)
        full_env = dict(os.environ, XDG_RUNTIME_DIR=runtime, **env)
        out = run([ARGS.xprobe, "start", "--quiet", "300", "--", *cmd], cwd=cwd, env=full_env)
        values = parse(out)
        self.pid = int(values["pid"])
        self.map_ms = values["map_ms"]
        self.shown_ms = values["shown_ms"]
        self.runtime = runtime
        self.window = None
        for _ in range(100):
            found = subprocess.run(["xdotool", "search", "--all", "--onlyvisible", "--pid",
                                    str(self.pid), "--name", name], capture_output=True, text=True).stdout.split()
            if found:
                self.window = found[0]
                break
            time.sleep(0.05)
        if not self.window:
            stop(self.pid)
            raise RuntimeError(f"no window {name} for {cmd}")

    def focus(self):
        xdo("windowfocus", "--sync", self.window)

    def close(self):
        stop(self.pid)
        shutil.rmtree(self.runtime, ignore_errors=True)


def key(window, keysym, wait_file=None, quiet=300):
    cmd = [ARGS.xprobe, "key", window, keysym, "--quiet", str(quiet)]
    if wait_file:
        cmd += ["--file", wait_file]
    return parse(run(cmd))


def timed(cmd, **kw):
    t = time.perf_counter()
    subprocess.run(cmd, check=True, capture_output=True, **kw)
    return (time.perf_counter() - t) * 1000.0


def name(base, n):
    return f"{base}{n:03d}.jpg"


def make_files(folder, base, count):
    os.makedirs(folder)
    for n in range(1, count + 1):
        os.close(os.open(os.path.join(folder, name(base, n)), os.O_CREAT | os.O_WRONLY, 0o644))


class RenameFolder:
    """A folder of count files named p001.jpg ... that each contender renames to the other
    base (p <-> q), in natural order, so that the next one finds the same work."""

    def __init__(self, count):
        self.count = count
        self.folder = os.path.join(ARGS.scratch, f"rename{count}")
        make_files(self.folder, "p", count)
        self.base = "p"

    def other(self):
        return "q" if self.base == "p" else "p"

    def done(self, new):
        ok = (os.path.exists(os.path.join(self.folder, name(new, self.count)))
              and not os.path.exists(os.path.join(self.folder, name(self.base, 1))))
        if not ok:
            sys.exit(f"renaming in {self.folder} did not complete")
        self.base = new


def program_rename(label, program, rf, a11y=None):
    """Starts the program in the folder, renames by keyboard, then re-reads the list by
    choosing the filter entry again; returns nothing, records figures."""
    env = {}
    if a11y:
        env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
    p = Started([program], rf.folder, env, r"^Numbrella\+$")
    try:
        if not a11y:
            record(f"start {rf.count} files", label, p.map_ms)
            record(f"start {rf.count} files (shown)", label, p.shown_ms)
        p.focus()
        new = rf.other()
        type_base_name(new)
        if a11y:
            a11y.stdin.write("\n")
            a11y.stdin.flush()
            a11y.stdout.readline()
        v = key(p.window, "space", os.path.join(rf.folder, name(new, rf.count)))
        rf.done(new)
        group = f"rename {rf.count}" + (" with a screen reader" if a11y else "")
        record(group, label + ": to last rename", v["file_ms"])
        record(group, label + ": to list shown", v["shown_ms"])
        if a11y:
            settle(0.5)
            a11y.stdin.write("\n")
            a11y.stdin.flush()
            record(group + " (AT-SPI text events)", label,
                   float(a11y.stdout.readline().split("=")[1]))
            return
        # Back to the filter combo: Combo2, Command2, Combo1. Another entry, then "jpg" again.
        xdo("key", "--delay", "40", "shift+Tab", "shift+Tab", "shift+Tab", "Down")
        settle(0.5)
        v = key(p.window, "Up")
        record(f"list {rf.count}", label + ": to list shown", v["shown_ms"])
    finally:
        p.close()


def bench_rename(rf, programs, a11y):
    contenders = [(label, lambda label=label, prog=prog: program_rename(label, prog, rf))
                  for label, prog in programs]
    group = f"rename {rf.count}"

    def bare():
        new = rf.other()
        ms = timed([os.path.join(ARGS.bench, "bare_rename"), rf.folder, rf.base, new,
                    str(rf.count), "3", "jpg"])
        rf.done(new)
        record(group, "bare renameat2 loop", ms)

    def perl():
        new = rf.other()
        ms = timed(["sh", "-c", f"ls -v | rename 'our $n; $_ = sprintf(\"{new}%03d.jpg\", ++$n)'"],
                   cwd=rf.folder)
        rf.done(new)
        record(group, "perl rename", ms)

    def mmv():
        new = rf.other()
        ms = timed(["mmv", f"{rf.base}*.jpg", f"{new}#1.jpg"], cwd=rf.folder)
        rf.done(new)
        record(group, "mmv", ms)

    def bare_list():
        out = parse(run([os.path.join(ARGS.bench, "bare_list"), rf.folder, "*.jpg", "*.jpeg"]))
        record(f"list {rf.count}", "readdir+match+natural sort in C", out["work_ms"])
        out = parse(run([os.path.join(ARGS.bench, "bare_list"), "--icu", rf.folder, "*.jpg",
                         "*.jpeg"]))
        record(f"list {rf.count}", "readdir+match+ICU Japanese sort keys in C", out["work_ms"])

    def plain_start():
        p = Started([os.path.join(ARGS.bench, "plain_list_window")], rf.folder, {},
                    "^plain list$")
        record(f"start {rf.count} files", "plain Qt list window", p.map_ms)
        record(f"start {rf.count} files (shown)", "plain Qt list window", p.shown_ms)
        p.close()

    contenders += [("bare", bare), ("perl", perl), ("mmv", mmv), ("bare_list", bare_list),
                   ("plain_start", plain_start)]
    if a11y:
        for label, prog in programs:
            contenders.append((label + " a11y", lambda label=label, prog=prog: (
                program_rename(label, prog, rf, a11y))))
            # The same run without, in the same round, for the ratio.
            contenders.append((label + " plain", lambda label=label, prog=prog: (
                program_rename_no_list(label, prog, rf))))
    rounds = ARGS.rounds
    for r in range(rounds):
        order = contenders[r % len(contenders):] + contenders[:r % len(contenders)]
        for _, fn in order:
            fn()
        print(f"  rename {rf.count}: round {r + 1}/{rounds} done", file=sys.stderr, flush=True)


def program_rename_no_list(label, program, rf):
    p = Started([program], rf.folder, {}, r"^Numbrella\+$")
    try:
        p.focus()
        new = rf.other()
        type_base_name(new)
        v = key(p.window, "space", os.path.join(rf.folder, name(new, rf.count)))
        rf.done(new)
        group = f"rename {rf.count} with a screen reader"
        record(group, label + " without: to last rename", v["file_ms"])
        record(group, label + " without: to list shown", v["shown_ms"])
    finally:
        p.close()


def bench_start_empty(programs):
    folder = os.path.join(ARGS.scratch, "empty")
    os.makedirs(folder, exist_ok=True)
    for r in range(ARGS.rounds):
        items = [(label, [prog], r"^Numbrella\+$") for label, prog in programs]
        items.append(("plain Qt list window", [os.path.join(ARGS.bench, "plain_list_window")],
                      "^plain list$"))
        items.append(("plain Qt list window, Japanese texts",
                      [os.path.join(ARGS.bench, "plain_list_window"), "--japanese"],
                      "^plain list$"))
        items = items[r % len(items):] + items[:r % len(items)]
        for label, cmd, title in items:
            p = Started(cmd, folder, {}, title)
            record("start empty folder", label, p.map_ms)
            record("start empty folder (shown)", label, p.shown_ms)
            p.close()


def make_picture(path, width, height):
    small = (width // 4, height // 4)
    subprocess.run(["convert", "-seed", "1", "-size", f"{small[0]}x{small[1]}", "plasma:fractal",
                    "-resize", f"{width}x{height}!", "-seed", "2", "-attenuate", "0.4",
                    "+noise", "Gaussian", "-quality", "90", path], check=True)


def bench_viewer(programs):
    for mp, (w, h) in (("24 MP", (6000, 4000)), ("1 MP", (1280, 800))):
        folder = os.path.join(ARGS.scratch, "viewer" + mp.split()[0])
        os.makedirs(folder)
        picture = os.path.join(folder, f"pic{mp.split()[0]}.jpg")
        make_picture(picture, w, h)
        g = f"viewer {mp}"
        for r in range(ARGS.rounds):
            items = [(label, prog) for label, prog in programs] + [("plain", None)]
            items = items[r % len(items):] + items[:r % len(items)]
            for label, prog in items:
                if prog is None:
                    out = parse(run([os.path.join(ARGS.bench, "plain_viewer"), "--decode",
                                     picture]))
                    record(g + ": open", "decode alone", out["decode_ms"])
                    p = Started([os.path.join(ARGS.bench, "plain_viewer"), picture], folder, {},
                                "^plain viewer$")
                    record(g + ": peak MB at open", "plain Qt viewer", peak_mb(p.pid))
                    p.focus()
                    steps = [key(p.window, "KP_Add", quiet=150)["shown_ms"] for _ in range(20)]
                    record(g + ": zoom step", "plain Qt viewer", statistics.median(steps))
                    record(g + ": peak MB after 20 zoom steps", "plain Qt viewer",
                           peak_mb(p.pid))
                    p.close()
                    continue
                p = Started([prog], folder, {}, r"^Numbrella\+$")
                try:
                    p.focus()
                    before = peak_mb(p.pid)
                    xdo("key", "--delay", "40", *(["Tab"] * 7))
                    settle()
                    v = key(p.window, "Return", quiet=400)
                    record(g + ": open", label + ": to viewer shown", v["shown_ms"])
                    record(g + ": peak MB at open", label, peak_mb(p.pid))
                    record(g + ": peak MB at open", label + " (renaming window alone)", before)
                    viewer = None
                    for _ in range(100):
                        found = subprocess.run(
                            ["xdotool", "search", "--all", "--onlyvisible", "--pid", str(p.pid),
                             "--name", os.path.basename(picture)], capture_output=True, text=True).stdout
                        if found.split():
                            viewer = found.split()[0]
                            break
                        time.sleep(0.05)
                    xdo("windowfocus", "--sync", viewer)
                    settle()
                    steps = [key(viewer, "KP_Add", quiet=150)["shown_ms"] for _ in range(20)]
                    record(g + ": zoom step", label, statistics.median(steps))
                    record(g + ": peak MB after 20 zoom steps", label, peak_mb(p.pid))
                finally:
                    p.close()
            print(f"  {g}: round {r + 1}/{ARGS.rounds} done", file=sys.stderr, flush=True)


def report():
    groups = {}
    for (group, label), values in RESULTS.items():
        groups.setdefault(group, []).append((label, values))
    for group, items in groups.items():
        print(f"\n{group}")
        for label, values in items:
            med = statistics.median(values)
            print(f"  {label:48s} {med:9.1f}  ({min(values):.1f}-{max(values):.1f}, n={len(values)})")
    print()


def ratio(group_a, label_a, group_b, label_b, text):
    a = RESULTS.get((group_a, label_a))
    b = RESULTS.get((group_b, label_b))
    if not a or not b:
        return
    per_round = sorted(x / y for x, y in zip(a, b))
    print(f"  {text:70s} {statistics.median(per_round):5.2f}x "
          f"({per_round[0]:.2f}-{per_round[-1]:.2f})")


def ratios(programs):
    print("ratios, per round (median, spread):")
    for label, _ in programs:
        for n in ARGS.sizes:
            g = f"rename {n}"
            for what in ("to last rename", "to list shown"):
                ratio(g, f"{label}: {what}", g, "bare renameat2 loop",
                      f"{label}: rename {n}, {what} / bare loop")
            for peer in ("perl rename", "mmv"):
                ratio(g, f"{label}: to list shown", g, peer,
                      f"{label}: rename {n}, to list shown / {peer}")
            a = f"rename {n} with a screen reader"
            ratio(a, f"{label}: to list shown", a, f"{label} without: to list shown",
                  f"{label}: rename {n} with a screen reader / without")
            ratio(f"list {n}", f"{label}: to list shown", f"list {n}",
                  "readdir+match+natural sort in C", f"{label}: list {n} re-read / plain C")
            ratio(f"start {n} files", label, f"start {n} files", "plain Qt list window",
                  f"{label}: start-up, {n} files / plain Qt list window")
        ratio("start empty folder", label, "start empty folder", "plain Qt list window",
              f"{label}: start-up, empty folder / plain Qt window")
        ratio("start empty folder", label, "start empty folder",
              "plain Qt list window, Japanese texts",
              f"{label}: start-up, empty folder / plain Qt window with Japanese texts")
        for mp in ("24 MP", "1 MP"):
            g = f"viewer {mp}"
            ratio(g + ": open", f"{label}: to viewer shown", g + ": open", "decode alone",
                  f"{label}: viewer {mp} open / decode alone")
            ratio(g + ": peak MB at open", label, g + ": peak MB at open", "plain Qt viewer",
                  f"{label}: viewer {mp} peak at open / plain Qt viewer")
            ratio(g + ": peak MB after 20 zoom steps", label, g + ": peak MB after 20 zoom steps",
                  "plain Qt viewer", f"{label}: viewer {mp} peak after zooming / plain Qt viewer")


def main():
    global ARGS
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", action="append", required=True,
                        help="LABEL=PATH of a numbrella binary; several are compared")
    parser.add_argument("--bench", required=True, help="folder of the built baselines")
    parser.add_argument("--xprobe", required=True)
    parser.add_argument("--folder", default=tempfile.gettempdir())
    parser.add_argument("--sizes", default="10000,100000")
    parser.add_argument("--rounds", type=int, default=7)
    parser.add_argument("--only", default="rename,a11y,start,viewer")
    ARGS = parser.parse_args()
    ARGS.sizes = [int(s) for s in ARGS.sizes.split(",")]
    programs = [tuple(p.split("=", 1)) for p in ARGS.program]
    only = ARGS.only.split(",")
    ARGS.scratch = tempfile.mkdtemp(prefix="numbrella-blackbox-", dir=ARGS.folder)
    a11y = None
    try:
        if "a11y" in only:
            a11y = subprocess.Popen([sys.executable, os.path.join(os.path.dirname(__file__),
                                                                  "atspi_listen.py")],
                                    stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)
            if a11y.stdout.readline().strip() != "ready":
                sys.exit("the AT-SPI listener did not start")
            # Subscribing has switched accessibility on for the whole session: every Qt program
            # started from now on would talk to the listener. Off again, so that only the runs
            # "with a screen reader" (QT_LINUX_ACCESSIBILITY_ALWAYS_ON) do.
            import dbus
            status = dbus.Interface(dbus.SessionBus().get_object("org.a11y.Bus", "/org/a11y/bus"),
                                    "org.freedesktop.DBus.Properties")
            for name in ("IsEnabled", "ScreenReaderEnabled"):
                status.Set("org.a11y.Status", name, False)
        if "rename" in only or "a11y" in only:
            for n in ARGS.sizes:
                bench_rename(RenameFolder(n), programs, a11y)
        if "start" in only:
            bench_start_empty(programs)
        if "viewer" in only:
            bench_viewer(programs)
    finally:
        if a11y:
            a11y.terminate()
        print(f"uptime: {open('/proc/loadavg').read().strip()}")
        report()
        ratios(programs)
        shutil.rmtree(ARGS.scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
