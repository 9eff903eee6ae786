#!/usr/bin/env python3
"""Takes the performance figures of SkeinerWard, one measurement at a time; scripts/bench
takes them all.

Usage: measure.py MEASUREMENT --build DIR [options]
  benchmarks    the Google Benchmark runs (write path, one poll); medians and ratios to fwrite
  instructions  instructions per poll under callgrind, from two runs with different poll counts
  fidelity      skein-feed publishes COUNT records held H ms each; the fraction found in the logs
  idle          CPU time and wake-ups over a window with an unchanging block, beside the reference
                10 ms poller and a bare 1 ms poll() loop started in the same window
  shutdown      time from SIGTERM to exit with a nearly full write buffer
  qt            peak resident memory of the desktop front end under Xvfb, when it was built
  windows       the size of SkeinerWard.exe
  summary       every figure beside its target, from the JSON file the others filled

The program reads the record channel by its fixed name, so fidelity, idle, shutdown and qt belong
in a mount namespace with a private /dev/shm (scripts/bench makes one), where no other program
can publish into it. Each measurement prints its figures and adds them to --json FILE.
"""

import argparse
import json
import os
import select
import shutil
import signal
import statistics
import subprocess
import sys
import tempfile
import time

CHANNEL = "/dev/shm/KVOR_300871_140263_GATE1"
BUFFER_SIZE = 4096
IDLE_RECORD = b"2026-12-31 22:03:00 #000001 Qz81xaBcDe 1"


# ---- Processes -------------------------------------------------------------------------------

def headless_environment():
    """The environment without a display, so that a program built with a desktop front end runs
    its headless one."""
    env = dict(os.environ)
    for name in ("DISPLAY", "WAYLAND_DISPLAY"):
        env.pop(name, None)
    return env


class Installation:
    """The program copied into a directory of its own, with settings naming a log tree there."""

    def __init__(self, program, root):
        self.dir = tempfile.mkdtemp(prefix="skein-bench.", dir=root)
        self.program = os.path.join(self.dir, "skeinerward")
        self.logs = os.path.join(self.dir, "logs")
        shutil.copy2(program, self.program)
        os.mkdir(self.logs)
        with open(os.path.join(self.dir, "Skeinward.prefs"), "wb") as prefs:
            prefs.write(b"[Setting]\r\nDirectory = %s/\r\n" % self.logs.encode())

    def start(self, env=None):
        with open(os.path.join(self.dir, "stdout"), "wb") as out, \
                open(os.path.join(self.dir, "stderr"), "wb") as err:
            return subprocess.Popen([self.program], cwd=self.dir, stdin=subprocess.DEVNULL,
                                    stdout=out, stderr=err, env=env or headless_environment())

    def log_path(self, text):
        return os.path.join(self.logs, text[0:4].decode(), text[5:7].decode(),
                            text[8:10].decode(), text[11:13].decode() + ".log")

    def logged_lines(self):
        lines = []
        for folder, _, files in os.walk(self.logs):
            for name in files:
                if name.endswith(".log"):
                    with open(os.path.join(folder, name), "rb") as log:
                        lines.extend(log.read().split(b"\r\n")[:-1])
        return lines

    def remove(self):
        shutil.rmtree(self.dir, ignore_errors=True)


def wait_exact(process, limit=30.0):
    """Waits for the exit and returns its code, woken by the exit itself: Popen.wait with a time-out
    sleeps in steps of up to 50 ms, which would swamp a shutdown of a few milliseconds."""
    descriptor = os.pidfd_open(process.pid)
    try:
        waiter = select.poll()
        waiter.register(descriptor, select.POLLIN)
        if not waiter.poll(limit * 1000):
            process.kill()
    finally:
        os.close(descriptor)
    return process.wait()


def stop(process):
    """SIGTERM, then the exit code; a program that does not end within 30 s is killed."""
    process.send_signal(signal.SIGTERM)
    return wait_exact(process)


def wait_for(path, limit=20.0):
    deadline = time.monotonic() + limit
    while not os.path.exists(path):
        if time.monotonic() > deadline:
            return False
        time.sleep(0.005)
    return True


def generate(feed, count, per_hour, start, seed):
    """The texts skein-feed generates for these options, published into a block of our own."""
    block = "/skein-bench-generate-%d" % os.getpid()
    result = subprocess.run([feed, "--generate", "--count", str(count), "--per-hour",
                             str(per_hour), "--start", start, "--seed", str(seed), "--hold", "0",
                             "--block", block, "--print"], check=True, stdout=subprocess.PIPE)
    os.unlink("/dev/shm" + block)
    return result.stdout.split(b"\n")[:-1]


def publish(feed, texts, hold_ms):
    subprocess.run([feed, "--stdin", "--hold", str(hold_ms)], check=True,
                   input=b"".join(t + b"\n" for t in texts))


def reset_channel():
    if os.path.exists(CHANNEL):
        os.unlink(CHANNEL)


# ---- /proc -------------------------------------------------------------------------------------

def status_fields(path):
    fields = {}
    with open(path) as status:
        for line in status:
            name, _, value = line.partition(":")
            fields[name] = value.strip()
    return fields


def task_figures(pid):
    """Per thread: CPU time in ns, voluntary and involuntary context switches."""
    figures = {}
    for tid in os.listdir("/proc/%d/task" % pid):
        base = "/proc/%d/task/%s/" % (pid, tid)
        try:
            with open(base + "schedstat") as schedstat:
                runtime = int(schedstat.read().split()[0])
            status = status_fields(base + "status")
        except (FileNotFoundError, ProcessLookupError):
            continue
        figures[int(tid)] = (runtime, int(status["voluntary_ctxt_switches"]),
                             int(status["nonvoluntary_ctxt_switches"]))
    return figures


def window_totals(before, after, seconds, tids=None):
    """CPU ms and wake-ups per second between two task_figures, over the threads alive in both."""
    cpu = wakes = 0
    for tid, (runtime, voluntary, _) in after.items():
        if tid in before and (tids is None or tid in tids):
            cpu += runtime - before[tid][0]
            wakes += voluntary - before[tid][1]
    return cpu / 1e6, wakes / seconds


def peak_resident_kib(pid):
    return int(status_fields("/proc/%d/status" % pid)["VmHWM"].split()[0])


class MachineBusy:
    """How busy all CPUs were between start and now, from /proc/stat: 0 for idle, 1 for flat out."""

    def __init__(self):
        self.start = self.read()

    @staticmethod
    def read():
        with open("/proc/stat") as stat:
            fields = [int(v) for v in stat.readline().split()[1:]]
        idle = fields[3] + fields[4]  # idle, iowait
        return sum(fields[:8]) - idle, sum(fields[:8])

    def fraction(self):
        busy, total = self.read()
        return (busy - self.start[0]) / max(1, total - self.start[1])


def load_average():
    with open("/proc/loadavg") as loadavg:
        return " ".join(loadavg.read().split()[:3])


def verdict(ok):
    return "meets the target" if ok else "MISSES the target"


# ---- Measurements ------------------------------------------------------------------------

def benchmarks(args, figures):
    out = os.path.join(args.results, "benchmarks.json")
    disk = os.path.join(args.build, "bench-files")
    os.makedirs(disk, exist_ok=True)
    print("== benchmarks: write path on /dev/shm and on the disk (%s), one poll (load average %s)"
          % (disk, load_average()), flush=True)
    busy = MachineBusy()
    subprocess.run([os.path.join(args.build, "skein_bench"), "--disk-dir=" + disk,
                    "--benchmark_repetitions=%d" % args.repetitions,
                    "--benchmark_min_time=%s" % args.min_time,
                    "--benchmark_enable_random_interleaving=true",
                    "--benchmark_report_aggregates_only=true", "--benchmark_out=" + out,
                    "--benchmark_out_format=json"], check=True)
    machine = busy.fraction()
    print("all CPUs %.0f %% busy during the benchmarks, one CPU of them the benchmarks' own "
          "(load average %s at the end)" % (100 * machine, load_average()))
    with open(out) as results:
        runs = json.load(results)
    # With one repetition there are no aggregates, only the runs themselves.
    kind = ("aggregate", "median") if args.repetitions > 1 else ("iteration", None)
    medians = {b["run_name"]: b for b in runs["benchmarks"]
               if (b.get("run_type"), b.get("aggregate_name")) == kind}
    print("\nmedians of %d repetitions, rates from CPU time (user and system):" % args.repetitions)
    write = {}
    for name, run in sorted(medians.items()):
        if not name.startswith("write/"):
            continue
        _, writer, place, length = name.split("/")
        lines_per_s = run["items_per_second"]
        write.setdefault(place + "/" + length, {})[writer] = lines_per_s
    for key, rates in write.items():
        for writer in ("AppendFile", "fwrite", "ofstream"):
            ratio = rates[writer] / rates["fwrite"]
            note = ""
            if writer == "AppendFile":
                note = "  (target: at least 1.00, %s)" % verdict(ratio >= 1.0)
            print("  %-24s %8.2f M lines/s  %5.2f x fwrite%s"
                  % ("%s/%s" % (writer, key), rates[writer] / 1e6, ratio, note))
    poll = {}
    for kind in ("idle", "accept"):
        run = medians["poll/" + kind]
        poll[kind] = {"cpu_ns": run["cpu_time"], "real_ns": run["real_time"],
                      "accepted": run.get("accepted")}
        print("  poll/%-19s %8.0f ns CPU (%.0f ns real), accepted per poll %s"
              % (kind, run["cpu_time"], run["real_time"], run.get("accepted")))
    figures["write"] = write
    figures["poll_ns"] = poll
    figures["benchmark_context"] = {k: runs["context"].get(k) for k in
                                    ("num_cpus", "mhz_per_cpu", "load_avg", "library_build_type")}
    figures["benchmark_context"]["machine_busy"] = round(machine, 4)


def callgrind_instructions(driver, kind, polls, out):
    subprocess.run(["valgrind", "--tool=callgrind", "--callgrind-out-file=" + out, driver, kind,
                    str(polls)], check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    with open(out) as profile:
        for line in profile:
            if line.startswith("summary:") or line.startswith("totals:"):
                return int(line.split()[1])
    raise RuntimeError("no instruction count in " + out)


def instructions(args, figures):
    print("== instructions per poll under callgrind (user space only; the kernel's share of a "
          "system call is not counted)", flush=True)
    driver = os.path.join(args.build, "skein_poll_driver")
    few, many = 1000, 11000
    result = {}
    for kind in ("idle", "accept"):
        counts = [callgrind_instructions(driver, kind, n, os.path.join(
            args.results, "callgrind.%s.%d.out" % (kind, n))) for n in (few, many)]
        per_poll = (counts[1] - counts[0]) / (many - few)
        result[kind] = round(per_poll, 1)
        print("  poll/%-8s %8.1f instructions (%d polls: %d, %d polls: %d)"
              % (kind, per_poll, few, counts[0], many, counts[1]))
    print("  profiles: %s/callgrind.*.out (callgrind_annotate --inclusive=yes FILE)"
          % args.results)
    figures["instructions_per_poll"] = result


def fidelity(args, figures):
    print("== capture fidelity: %d records a hold, %d an hour (load average %s)"
          % (args.count, args.per_hour, load_average()), flush=True)
    results = []
    for index, hold in enumerate(args.holds):
        reset_channel()
        texts = generate(args.feed, args.count, args.per_hour, args.start, 1000 + index)
        install = Installation(args.program, args.work)
        # The first text is in the block before the program starts, so its first poll logs it.
        publish(args.feed, texts[:1], 0)
        process = install.start()
        if not wait_for(install.log_path(texts[0])):
            stop(process)
            sys.exit("fidelity: the program logged nothing; see %s" % install.dir)
        load_before = load_average()
        busy = MachineBusy()
        began = time.monotonic()
        publish(args.feed, texts[1:], hold)
        fed_ms = (time.monotonic() - began) * 1000
        machine = busy.fraction()
        time.sleep(0.1)
        peak = peak_resident_kib(process.pid)
        code = stop(process)
        logged = install.logged_lines()
        wanted = set(texts)
        found = len(wanted.intersection(logged))
        # Lines that no text was: a poll that caught the writer halfway.
        strays = sum(1 for line in logged if line not in wanted)
        mean_hold = fed_ms / max(1, len(texts) - 1)
        print("  hold %3d ms (measured %.3f ms): %5d of %d found, %7.3f %%, %d stray lines, "
              "exit code %s; load %s, CPUs %.0f %% busy" % (
                  hold, mean_hold, found, len(texts), 100 * found / len(texts), strays, code,
                  load_before, 100 * machine), flush=True)
        results.append({"hold_ms": hold, "mean_hold_ms": round(mean_hold, 3),
                        "records": len(texts), "found": found, "strays": strays,
                        "exit_code": code, "peak_resident_kib": peak, "load": load_before,
                        "machine_busy": round(machine, 4)})
        install.remove()
    figures["fidelity"] = results


def mapped_libraries(pid):
    with open("/proc/%d/maps" % pid) as maps:
        return len({line.split()[-1] for line in maps if ".so" in line.split()[-1]})


def idle(args, figures):
    print("== idle cost over %d s, side by side (load average %s)"
          % (args.window, load_average()), flush=True)
    reset_channel()
    publish(args.feed, [IDLE_RECORD], 0)
    installs = {"ours": Installation(args.program, args.work)}
    if args.lean:
        installs["lean"] = Installation(args.lean, args.work)
    processes = {}
    for name, install in installs.items():
        processes[name] = install.start()
        wait_for(install.log_path(IDLE_RECORD))
    reference = os.path.join(args.build, "skein_reference_poller")
    outputs = {}
    for mode in ("poll", "wait", "both"):
        outputs[mode] = tempfile.TemporaryFile(dir=args.work)
        processes[mode] = subprocess.Popen([reference, mode], stdout=outputs[mode],
                                           stderr=subprocess.STDOUT)
    time.sleep(args.warm_up)
    load_before = load_average()
    busy = MachineBusy()
    before = {name: task_figures(p.pid) for name, p in processes.items()}
    time.sleep(args.window)
    after = {name: task_figures(p.pid) for name, p in processes.items()}
    machine = busy.fraction()
    load_after = load_average()
    peaks = {name: peak_resident_kib(p.pid) for name, p in processes.items()}
    ours_status = status_fields("/proc/%d/status" % processes["ours"].pid)
    resident = {k: int(ours_status[k].split()[0]) for k in ("RssAnon", "RssFile")}
    libraries = mapped_libraries(processes["ours"].pid)
    codes = {name: stop(p) for name, p in processes.items()}
    for install in installs.values():
        install.remove()

    totals = {name: window_totals(before[name], after[name], args.window) for name in processes}
    main_tid = {processes["ours"].pid}
    main = window_totals(before["ours"], after["ours"], args.window, main_tid)
    capture = (totals["ours"][0] - main[0], totals["ours"][1] - main[1])
    baseline = totals["poll"][0] + totals["wait"][0]
    ratio = totals["ours"][0] / baseline
    periods = {}
    for mode in ("poll", "wait"):
        outputs[mode].seek(0)
        # "poll 10 ms: N passes in S s, mean period P ms"
        words = outputs[mode].read().decode().split()
        periods[mode] = float(words[words.index("period") + 1]) if "period" in words else None

    cpus = os.cpu_count()
    measured = sum(v[0] for v in totals.values()) / (1000 * args.window * cpus)
    print("  load average at the start and end of the window: %s / %s; all %d CPUs %.1f %% busy "
          "(sampled at clock ticks), these processes %.1f %% (exact)"
          % (load_before, load_after, cpus, 100 * machine, 100 * measured))
    print("  %-36s %9s %12s %11s %9s" % ("", "CPU ms", "% of a core", "wake-ups/s", "peak MiB"))
    rows = [("SkeinerWard, headless", totals["ours"], peaks["ours"]),
            ("  its main thread (1 ms wait)", main, None),
            ("  its capture thread (10 ms poll)", capture, None)]
    if "lean" in processes:
        rows.append(("SkeinerWard built without Qt", totals["lean"], peaks["lean"]))
    rows += [("reference 10 ms poller", totals["poll"], peaks["poll"]),
             ("bare 1 ms poll() loop", totals["wait"], peaks["wait"]),
             ("reference, both loops in one", totals["both"], peaks["both"])]
    for label, (ms, wakes), peak in rows:
        print("  %-36s %9.1f %12.3f %11.1f %9s" % (label, ms, ms / (10 * args.window), wakes,
                                                   "" if peak is None else "%.2f" % (peak / 1024)))
    print("  headless resident memory: %.2f MiB anonymous, %.2f MiB file-backed, from %d shared "
          "libraries" % (resident["RssAnon"] / 1024, resident["RssFile"] / 1024, libraries))
    print("  real periods of the reference loops: 10 ms sleep %s ms, 1 ms wait %s ms"
          % (periods["poll"], periods["wait"]))
    print("  exit codes: %s" % ", ".join("%s %s" % item for item in codes.items()))
    figures["idle"] = {
        "window_s": args.window, "load_before": load_before, "load_after": load_after,
        "machine_busy": round(machine, 4), "measured_busy": round(measured, 4),
        "cpu_ms": {name: round(v[0], 2) for name, v in totals.items()},
        "wakeups_per_s": {name: round(v[1], 1) for name, v in totals.items()},
        "main_thread": [round(main[0], 2), round(main[1], 1)],
        "capture_thread": [round(capture[0], 2), round(capture[1], 1)],
        "ratio": round(ratio, 3), "peak_resident_kib": peaks, "resident_kib": resident,
        "libraries": libraries, "periods": periods}


def simulated_waiting(texts):
    """The bytes AppendFile holds after these lines, or None when one of them made it write."""
    waiting = 0
    for text in texts:
        for piece in (len(text), 2):
            if piece >= BUFFER_SIZE - waiting:
                return None
            waiting += piece
    return waiting


def shutdown(args, figures):
    print("== shutdown: SIGTERM to exit with a full write buffer, %d runs (load average %s)"
          % (args.runs, load_average()), flush=True)
    times = []
    complete = True
    for run in range(args.runs):
        reset_channel()
        texts = generate(args.feed, 400, 3600, "2026-12-30 20", 2000 + run)
        fill = 1
        while fill < len(texts) and simulated_waiting(texts[:fill + 1]) is not None:
            fill += 1
        waiting = simulated_waiting(texts[:fill])
        install = Installation(args.program, args.work)
        publish(args.feed, texts[:1], 0)
        process = install.start()
        log = install.log_path(texts[0])
        wait_for(log)
        publish(args.feed, texts[1:fill], 15)
        time.sleep(0.05)
        held = os.path.getsize(log)
        began = time.perf_counter()
        process.send_signal(signal.SIGTERM)
        code = wait_exact(process)
        elapsed_ms = (time.perf_counter() - began) * 1000
        written = os.path.getsize(log)
        ok = written == waiting and held == 0 and code == 0
        complete = complete and ok
        times.append(elapsed_ms)
        print("  run %d: %d bytes waiting (%d on disk before), %d on disk after, %.2f ms, "
              "exit code %d%s" % (run + 1, waiting, held, written, elapsed_ms, code,
                                  "" if ok else "  <- NOT as expected"))
        install.remove()
    figures["shutdown_ms"] = {"median": round(statistics.median(times), 2),
                              "min": round(min(times), 2), "max": round(max(times), 2),
                              "runs": args.runs, "all_bytes_written": complete}


def links_qt(program):
    try:
        needed = subprocess.run(["readelf", "-d", program], check=True, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL).stdout.decode()
    except (OSError, subprocess.CalledProcessError):
        return False
    return "libQt" in needed


def qt(args, figures):
    print("== Qt front end", flush=True)
    figures["qt"] = None
    if not links_qt(args.program):
        print("  %s has no Qt front end; skipped" % args.program)
        return
    if shutil.which("Xvfb") is None:
        print("  no Xvfb to give it a display; skipped")
        return
    reset_channel()
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp",
                               "-screen", "0", "1024x768x24"], pass_fds=(write_end,),
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as displayfd:
        number = displayfd.readline().strip()
    install = None
    try:
        if not number:
            print("  Xvfb gave no display; skipped")
            return
        env = headless_environment()
        env["DISPLAY"] = ":" + number
        install = Installation(args.program, args.work)
        publish(args.feed, [IDLE_RECORD], 0)
        process = install.start(env)
        wait_for(install.log_path(IDLE_RECORD))
        time.sleep(args.warm_up)
        before = task_figures(process.pid)
        time.sleep(args.window)
        after = task_figures(process.pid)
        peak = peak_resident_kib(process.pid)
        code = stop(process)
        cpu_ms, wakes = window_totals(before, after, args.window)
        print("  under Xvfb: peak resident %.2f MiB; idle CPU %.1f ms over %d s, %.1f wake-ups/s; "
              "exit code %s" % (peak / 1024, cpu_ms, args.window, wakes, code))
        figures["qt"] = {"peak_resident_kib": peak, "cpu_ms": round(cpu_ms, 2),
                         "window_s": args.window, "wakeups_per_s": round(wakes, 1)}
    finally:
        server.terminate()
        server.wait()
        if install:
            install.remove()


def windows(args, figures):
    print("== Windows executable", flush=True)
    figures["windows_exe_bytes"] = None
    if not os.path.exists(args.exe):
        print("  %s is not there; skipped" % args.exe)
        return
    size = os.path.getsize(args.exe)
    print("  %s: %d bytes, %.2f MiB" % (args.exe, size, size / 2**20))
    figures["windows_exe_bytes"] = size


# ---- Summary -----------------------------------------------------------------------------------

def summary(args, figures):
    rows = []

    def row(figure, value, target, ok):
        rows.append((figure, value, target, "-" if ok is None else ("yes" if ok else "NO")))

    for key, rates in figures.get("write", {}).items():
        ratio = rates["AppendFile"] / rates["fwrite"]
        row("AppendFile lines/s, %s-byte lines on %s" % tuple(reversed(key.split("/"))),
            "%.2f M (fwrite %.2f M, ofstream %.2f M)" % (rates["AppendFile"] / 1e6,
                                                         rates["fwrite"] / 1e6,
                                                         rates["ofstream"] / 1e6),
            ">= fwrite: ratio %.2f" % ratio, ratio >= 1.0)
    for kind, poll in figures.get("poll_ns", {}).items():
        instr = figures.get("instructions_per_poll", {}).get(kind)
        row("one poll, %s" % ("accepting nothing" if kind == "idle" else "accepting a record"),
            "%.0f ns, %s instructions" % (poll["cpu_ns"], "?" if instr is None else "%.0f" % instr),
            "(no target)", None)
    for result in figures.get("fidelity", []):
        hold = result["hold_ms"]
        ok = None
        target = "(reported)"
        if hold == 12:
            target = "100 % of >= 3000"
            ok = result["found"] == result["records"]
            if result["records"] < 3000:
                target += " (too few here)"
                ok = None
        row("records found, held %d ms (measured %.2f)" % (hold, result["mean_hold_ms"]),
            "%d of %d = %.3f %%, %d stray" % (result["found"], result["records"],
                                               100 * result["found"] / result["records"],
                                               result["strays"]), target, ok)
    if "idle" in figures:
        i = figures["idle"]
        ours, poll, wait = (i["cpu_ms"][k] for k in ("ours", "poll", "wait"))
        row("idle CPU over %d s" % i["window_s"],
            "%.1f ms (poller %.1f + 1 ms loop %.1f = %.1f)" % (ours, poll, wait, poll + wait),
            "<= 1.5 x: ratio %.2f" % i["ratio"], i["ratio"] <= 1.5)
        row("idle wake-ups per second", "%.0f (main %.0f, capture %.0f)"
            % (i["wakeups_per_s"]["ours"], i["main_thread"][1], i["capture_thread"][1]),
            "reference %.0f" % (i["wakeups_per_s"]["poll"] + i["wakeups_per_s"]["wait"]), None)
        row("the 1 ms loop's share of idle CPU", "%.0f %% (%.1f ms)"
            % (100 * i["main_thread"][0] / ours, i["main_thread"][0]),
            "bare loops: %.0f %%" % (100 * wait / (poll + wait)), None)
        row("real period of a 10 ms sleep (1 ms wait)", "%s ms (%s ms)"
            % (i["periods"]["poll"], i["periods"]["wait"]), "(the capture limit)", None)
    peaks = [r["peak_resident_kib"] for r in figures.get("fidelity", [])]
    if "idle" in figures:
        peaks.append(figures["idle"]["peak_resident_kib"]["ours"])
    if peaks:
        peak = max(peaks)
        i = figures.get("idle", {})
        notes = []
        if i:
            notes.append("%d shared libraries" % i["libraries"])
            lean = i["peak_resident_kib"].get("lean")
            if lean:
                notes.append("built without Qt %.2f MiB" % (lean / 1024))
            notes.append("reference with std::thread %.2f MiB"
                         % (i["peak_resident_kib"]["both"] / 1024))
        row("headless peak resident memory (VmHWM)",
            "%.2f MiB (%s)" % (peak / 1024, ", ".join(notes)), "<= 4 MiB", peak <= 4 * 1024)
    if figures.get("qt"):
        q = figures["qt"]
        row("Qt front end peak resident memory", "%.2f MiB" % (q["peak_resident_kib"] / 1024),
            "<= 40 MiB", q["peak_resident_kib"] <= 40 * 1024)
    elif "qt" in figures:
        row("Qt front end peak resident memory", "not measured (no Qt front end or no Xvfb)",
            "<= 40 MiB", None)
    if figures.get("windows_exe_bytes"):
        size = figures["windows_exe_bytes"]
        row("SkeinerWard.exe size", "%.2f MiB (%d bytes)" % (size / 2**20, size), "<= 1.5 MiB",
            size <= 1.5 * 2**20)
    elif "windows_exe_bytes" in figures:
        row("SkeinerWard.exe size", "not built (no MinGW-w64)", "<= 1.5 MiB", None)
    if "shutdown_ms" in figures:
        s = figures["shutdown_ms"]
        row("SIGTERM to exit, full write buffer", "median %.1f ms (%.1f to %.1f)%s"
            % (s["median"], s["min"], s["max"], "" if s["all_bytes_written"] else
               ", BYTES LOST"), "(no target; all bytes on disk)", s["all_bytes_written"])

    widths = [max(len(r[i]) for r in rows + [("figure", "value", "target", "met")])
              for i in range(4)]
    print("== summary")
    for r in [("figure", "value", "target", "met")] + rows:
        print("  " + "  ".join(text.ljust(width) for text, width in zip(r, widths)))
    missed = [r[0] for r in rows if r[3] == "NO"]
    print("\n%s" % ("every target met" if not missed else "missed: " + "; ".join(missed)))


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("measurement", choices=["benchmarks", "instructions", "fidelity", "idle",
                                         "shutdown", "qt", "windows", "summary"])
    parser.add_argument("--build", required=True, help="the Linux build directory")
    parser.add_argument("--json", required=True, help="the file the figures are gathered in")
    parser.add_argument("--exe", default="build/windows/SkeinerWard.exe", help="(windows)")
    parser.add_argument("--lean", default=None,
                        help="the program built without the desktop front end, beside it (idle)")
    parser.add_argument("--work", default=None, help="where the installations go (default /tmp)")
    parser.add_argument("--repetitions", type=int, default=7, help="(benchmarks)")
    parser.add_argument("--min-time", default="0.5", help="seconds a repetition (benchmarks)")
    parser.add_argument("--holds", default="10,11,12,15,20,50", help="hold times in ms (fidelity)")
    parser.add_argument("--count", type=int, default=3000, help="records a hold (fidelity)")
    parser.add_argument("--per-hour", type=int, default=600, help="records an hour (fidelity)")
    parser.add_argument("--start", default="2026-12-30 20", help="first record's hour (fidelity)")
    parser.add_argument("--window", type=int, default=30, help="seconds measured (idle, qt)")
    parser.add_argument("--warm-up", type=float, default=2.0, help="seconds before the window")
    parser.add_argument("--runs", type=int, default=7, help="runs (shutdown)")
    args = parser.parse_args()
    args.holds = [int(h) for h in args.holds.split(",")]
    args.work = args.work or tempfile.gettempdir()
    args.program = os.path.join(args.build, "skeinerward")
    args.feed = os.path.join(args.build, "skein-feed")
    args.results = os.path.dirname(os.path.abspath(args.json))
    os.makedirs(args.results, exist_ok=True)

    figures = {}
    if os.path.exists(args.json):
        with open(args.json) as existing:
            figures = json.load(existing)
    measurements = {"benchmarks": benchmarks, "instructions": instructions, "fidelity": fidelity,
             "idle": idle, "shutdown": shutdown, "qt": qt, "windows": windows, "summary": summary}
    measurements[args.measurement](args, figures)
    with open(args.json, "w") as out:
        json.dump(figures, out, indent=2, sort_keys=True)


if __name__ == "__main__":
    main()
