#!/usr/bin/env python3
"""Computes the log tree SkeinerWard must leave for a known sequence of block contents, and
compares it with a real tree byte for byte.

This is a second, independent statement of the capture rules (hour rollover, the acceptance rule,
the three kinds of summary line, the same-hour-later-day case), written without looking at the
program's code paths, so that the two can catch each other's mistakes.

Usage: skein_check.py BASE_DIR TEXTS_FILE [--last TEXT] [--exit-summary] [--settings FILE]
  TEXTS_FILE  the texts the block held, in order, one per line (as skein-feed --print writes
              them); the first is what the program's first poll read.
  --last      the last record of the settings at start (default: empty)
  --exit-summary  the run ended with a close request, which writes the exit line
  --settings  the settings file after the run: its Last must be the last record logged
Prints the differences and exits 1 when the trees differ, 0 when they are equal.
"""

import argparse
import os
import sys


def cut(text, position, count):
    return text[position - 1:position - 1 + count]


DEVICES = {b"CON", b"PRN", b"AUX", b"NUL"} | {b"%s%d" % (p, n) for p in (b"COM", b"LPT")
                                              for n in range(1, 10)}


def safe(field):
    """A field as a path component: bytes Windows refuses in names, and trailing dots and blanks,
    become underscores, and so does the first letter of a device name."""
    out = bytes(b"_"[0] if c < 0x20 or c in b'/\\:*?"<>|' else c for c in field)
    kept = out.rstrip(b". ")
    out = kept + b"_" * (len(out) - len(kept))
    return b"_" + out[1:] if out.upper() in DEVICES else out


class Model:
    def __init__(self, last):
        self.files = {}  # relative path (bytes) -> expected content
        self.last = last
        self.current = b""
        self.active = b""
        self.first_poll_done = False
        self.period = b""
        self.counts = [0, 0, 0]
        self.stats_path = None  # open statistics file
        self.stats_mark = False
        self.log_path = None
        self.day_dir = b""

    def append(self, path, line):
        self.files[path] = self.files.get(path, b"") + line + b"\r\n"

    def summary(self, prefix, label):
        t, x, n = self.counts
        return prefix + label + b"%d transmitted %d not transmitted %d" % (t, x, n)

    def poll(self, text):
        self.current = text
        hour = cut(text, 12, 2)
        log_name = hour + b".log"
        if not self.first_poll_done:
            self.period = hour
            self.first_poll_done = True
        if log_name != self.active:
            if self.stats_path is not None:
                self.append(self.stats_path, self.summary(text[:13], b":00 Total "))
                self.stats_path = None
                self.stats_mark = False
                self.counts = [0, 0, 0]
                self.period = hour
            self.log_path = None
            self.active = log_name
            levels = [safe(cut(text, 1, 4)), safe(cut(text, 6, 2)), safe(cut(text, 9, 2))]
            self.day_dir = b"/".join(level for level in levels if level)
        if text == self.last or len(text) < 36:
            return
        self.counts[0] += 1
        self.counts[1 if text[-1:] == b"1" else 2] += 1
        if self.stats_mark:
            if hour != self.period:
                self.period = hour
                self.append(self.stats_path, self.summary(text[:13], b":00 total "))
                self.counts = [0, 0, 0]
        else:
            self.stats_path = self.join(safe(hour) + b"-Statistics.txt")
            self.stats_mark = True
            self.files.setdefault(self.stats_path, b"")
        if self.log_path is None:
            self.log_path = self.join(safe(log_name))
        self.append(self.log_path, text)
        self.last = text

    def join(self, name):
        return self.day_dir + b"/" + name if self.day_dir else name

    def close(self):
        if self.stats_path is not None:
            self.append(self.stats_path, self.summary(self.current[:16], b" Total "))
            self.stats_path = None


def tree(base):
    found = {}
    for root, _, names in os.walk(base):
        for name in names:
            path = os.path.join(root, name)
            with open(path, "rb") as f:
                found[os.fsencode(os.path.relpath(path, base))] = f.read()
    return found


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("base")
    parser.add_argument("texts")
    parser.add_argument("--last", default="")
    parser.add_argument("--exit-summary", action="store_true")
    parser.add_argument("--settings")
    args = parser.parse_args()

    with open(args.texts, "rb") as f:
        texts = [line[:-1] if line.endswith(b"\n") else line for line in f.read().split(b"\n")]
    if texts and texts[-1] == b"":
        texts.pop()  # the LF after the last text
    model = Model(os.fsencode(args.last))
    previous = None
    for text in texts:
        if text != previous:  # a text held over several polls is one text
            model.poll(text)
        previous = text
    if args.exit_summary:
        model.close()

    expected = model.files
    actual = tree(args.base)
    problems = []
    for path in sorted(set(expected) | set(actual)):
        want, got = expected.get(path), actual.get(path)
        if want == got:
            continue
        if got is None:
            problems.append("missing: %s" % path.decode(errors="replace"))
        elif want is None:
            problems.append("unexpected: %s" % path.decode(errors="replace"))
        else:
            w, g = want.split(b"\r\n"), got.split(b"\r\n")
            at = next((i for i, (a, b) in enumerate(zip(w, g)) if a != b), min(len(w), len(g)))
            problems.append("differs: %s at line %d: expected %r, got %r" % (
                path.decode(errors="replace"), at + 1,
                w[at] if at < len(w) else None, g[at] if at < len(g) else None))
    if args.settings:
        with open(args.settings, "rb") as f:
            saved = [line for line in f.read().split(b"\r\n") if line.startswith(b"Last = ")]
        if saved != [b"Last = " + model.last]:
            problems.append("settings: expected Last = %r, got %r" % (model.last, saved))
    lines = sum(content.count(b"\r\n") for content in expected.values())
    print("skein-check: %d texts, %d files, %d lines expected; %d differences"
          % (len(texts), len(expected), lines, len(problems)))
    for problem in problems[:20]:
        print("  " + problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
