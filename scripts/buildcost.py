#!/usr/bin/env python3
"""Where a build's time went, read from ninja's own log (<build>/.ninja_log).

    scripts/buildcost.py [BUILD_DIR] [--top N]

Ninja logs each step's wall-clock start and end. A compile step is one
single-threaded compiler, so its wall time is its CPU time when it had a core
to itself; when more steps ran than there are cores (ninja runs cores + 2),
each is charged its share of the cores for that stretch (cores / steps running,
at most 1). What the log cannot see, other programs loading the machine, still
inflates these figures: scripts/build.sh therefore also records the build's
real CPU time (user + system, from the kernel). Where the log holds one run
only (a clean build) and that time is known, the steps' figures are scaled to
add up to it, so the total is exact and each step keeps its share.
"""
import argparse
import os
import re
import subprocess
import sys

COMPILED = re.compile(r"\.(obj|o|gch|pch)$")
LINKED = re.compile(r"\.(exe|dll|a|TVK)$", re.IGNORECASE)


def read_steps(log_path):
    """The newest record of every step, from the newest run that made it.

    One step with several outputs is logged once per output, all with the same
    times and command hash. A run's records are written as its steps finish,
    so their end times never fall; a fall starts the next run."""
    steps = {}
    run = 0
    last_end = -1
    with open(log_path) as log:
        header = log.readline()
        if not header.startswith("# ninja log v5"):
            sys.exit(f"{log_path}: not a ninja log of version 5")
        for line in log:
            fields = line.rstrip("\n").split("\t")
            if len(fields) != 5:
                continue
            start, end, _, output, command = fields
            start, end = int(start), int(end)
            if end < last_end:
                run += 1
            last_end = end
            steps[output] = (run, start, end, command)
    merged = {}
    for output, key in steps.items():
        merged.setdefault(key, []).append(output)
    return [(run, start, end, outputs) for (run, start, end, _), outputs in merged.items()]


def current_outputs(build):
    """What the build folder's graph makes now (None without ninja): the log
    also remembers units that were removed or folded into unity batches."""
    try:
        listing = subprocess.run(["ninja", "-C", build, "-t", "targets", "all"],
                                 capture_output=True, text=True, check=True).stdout
    except (OSError, subprocess.CalledProcessError):
        return None
    return {line.rsplit(": ", 1)[0] for line in listing.splitlines()}


def charge(steps, cores):
    """Each step's seconds of core: its wall time, shared out where the steps
    running at once outnumbered the cores."""
    charged = [0.0] * len(steps)
    for run in {s[0] for s in steps}:
        members = [i for i, s in enumerate(steps) if s[0] == run]
        edges = sorted({t for i in members for t in steps[i][1:3]})
        for lo, hi in zip(edges, edges[1:]):
            active = [i for i in members if steps[i][1] <= lo and steps[i][2] >= hi]
            if active:
                share = min(1.0, cores / len(active)) * (hi - lo) / 1000.0
                for i in active:
                    charged[i] += share
    return charged


def describe(build, output):
    """A compile step's unit as a reader knows it; a unity batch with its units."""
    name = re.sub(r"\.(obj|o|gch|pch)$", "", output)
    match = re.match(r"(?:.*/)?CMakeFiles/([^/]+)\.dir/(.*)$", name)
    if not match:
        return name
    target, unit = match.groups()
    if unit.startswith("Unity/"):
        try:
            with open(os.path.join(build, name)) as batch:
                units = [os.path.basename(m) for m in re.findall(r'#include "([^"]+)"', batch.read())]
            return f"{target}: unity batch of {len(units)} ({', '.join(units)})"
        except OSError:
            return f"{target}: {unit}"
    if unit.startswith("cmake_pch"):
        return f"{target}: precompiled header"
    return f"{target}: {unit}"


def read_cpu(build):
    """The last build run's user and system seconds, as build.sh recorded them."""
    try:
        with open(os.path.join(build, ".tvk_build_cpu")) as f:
            user, system, wall = (float(v) for v in f.read().split())
        return user, system, wall
    except (OSError, ValueError):
        return None


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("build", nargs="?", default="build")
    parser.add_argument("--top", type=int, default=10)
    parser.add_argument("--cores", type=int, default=os.cpu_count() or 1)
    args = parser.parse_args()
    log_path = os.path.join(args.build, ".ninja_log")
    if not os.path.exists(log_path):
        sys.exit(f"{log_path}: no ninja log (nothing built there yet)")
    steps = read_steps(log_path)
    current = current_outputs(args.build)
    if current:
        steps = [s for s in steps if any(o in current for o in s[3])]
    charged = charge(steps, args.cores)

    print(f"== build cost of {args.build} (ninja log, {args.cores} cores)")
    cpu = read_cpu(args.build)
    scale = 1.0
    if cpu:
        user, system, wall = cpu
        print(f"last run: {user + system:.1f} s CPU (user {user:.1f} + system {system:.1f}), {wall:.1f} s wall")
        if len({s[0] for s in steps}) == 1 and sum(charged) > 0:
            scale = (user + system) / sum(charged)
            print(f"one run in the log: step times scaled to its CPU time (x{scale:.2f})")
    charged = [c * scale for c in charged]

    kinds = {"compile": [], "link and archive": [], "other": []}
    for step, cost in zip(steps, charged):
        outputs = step[3]
        if any(COMPILED.search(o) for o in outputs):
            kinds["compile"].append((cost, min(outputs)))
        elif any(LINKED.search(o) for o in outputs):
            kinds["link and archive"].append((cost, min(outputs)))
        else:
            kinds["other"].append((cost, min(outputs)))

    print("steps:  " + ";  ".join(f"{kind} {sum(c for c, _ in rows):.1f} s ({len(rows)})"
                                  for kind, rows in kinds.items()))
    print(f"the {args.top} most expensive compile steps (seconds of core):")
    for cost, output in sorted(kinds["compile"], reverse=True)[:args.top]:
        print(f"  {cost:7.1f}  {describe(args.build, output)}")


if __name__ == "__main__":
    try:
        main()
    except BrokenPipeError:
        # A reader that stops early (head) is not an error of the report.
        sys.stderr.close()
