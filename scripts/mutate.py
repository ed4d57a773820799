#!/usr/bin/env python3
"""Mutation runner: applies each slip of scripts/mutants/*.txt to a copy of the tree, one at a time,
rebuilds it and runs the tests. A slip the tests notice is killed; one they do not survives.

Usage: scripts/mutate.sh [--list] [--check] [--timeout S] [--dir DIR] [--min-score P] [--sync PATH]
                         [FILTER...]
  FILTER    keep mutants whose name or file contains one of these texts
  --list    print the mutants and stop
  --check   check that every mutant applies (its text stands once in its file) and stop
  --dir     the copy and its build (default build-mutate/)
  --timeout seconds for each test case (default 60)
  --min-score  exit 1 when the score is below this percentage
  --sync PATH  take only this path (a file or folder; repeatable) from the working tree and the
            rest as committed, when others' unfinished edits stand in the working tree

A mutants file holds blocks of 'key: value' lines, one block a mutant, blocks apart by blank lines:
  name: stream-utf8-4byte       a unique name
  file: components/...           the file, from the top of the tree
  slip: ...                      what a programmer did wrong
  find: ...                      the exact text, standing once in the file (or nth: N picks one)
  replace: ...                   what the slip made of it
  tests: REGEX                   optional: the ctest cases to try first (the whole suite follows)
  equivalent: ...                optional: why no test can see it; such a mutant is not run
Values are taken to the end of the line as they stand; lines that start with '#' are comments.
"""
import argparse
import filecmp
import os
import re
import shutil
import subprocess
import sys
import time

TOP = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KEYS = {"name", "file", "slip", "find", "replace", "tests", "equivalent", "nth"}


def load_mutants():
    folder = os.path.join(TOP, "scripts", "mutants")
    mutants, names = [], set()
    for fname in sorted(os.listdir(folder)):
        if not fname.endswith(".txt"):
            continue
        path = os.path.join(folder, fname)
        block, start = {}, 0
        with open(path, encoding="utf-8") as f:
            lines = f.read().split("\n")
        for no, line in enumerate(lines + [""], 1):
            if line.startswith("#"):
                continue
            if not line.strip():
                if block:
                    mutants.append(finish(block, f"{fname}:{start}", names))
                    block = {}
                continue
            key, sep, value = line.partition(": ")
            if not sep or key not in KEYS or key in block:
                sys.exit(f"{fname}:{no}: expected one of {sorted(KEYS)} as 'key: value', once a mutant")
            start = start if block else no
            block[key] = value
    return mutants


def finish(block, where, names):
    for key in ("name", "file", "slip", "find", "replace"):
        if key not in block:
            sys.exit(f"{where}: the mutant lacks '{key}'")
    if block["name"] in names:
        sys.exit(f"{where}: the name {block['name']} is taken")
    if block["find"] == block["replace"]:
        sys.exit(f"{where}: {block['name']} replaces its text with the same text")
    names.add(block["name"])
    block["where"] = where
    return block


def apply(m, root):
    """The mutated text of the mutant's file, or an error."""
    path = os.path.join(root, m["file"])
    if not os.path.isfile(path):
        return None, f"{m['file']} does not exist"
    with open(path, encoding="utf-8") as f:
        text = f.read()
    count = text.count(m["find"])
    nth = int(m.get("nth", "0"))
    if nth == 0 and count != 1:
        return None, f"its text stands {count} times in {m['file']} (make it unique, or give nth)"
    if nth > count:
        return None, f"its text stands {count} times in {m['file']}, fewer than nth {nth}"
    at = -1
    for _ in range(max(nth, 1)):
        at = text.index(m["find"], at + 1)
    return text[:at] + m["replace"] + text[at + len(m["find"]):], None


def tracked_files():
    out = subprocess.run(["git", "ls-files", "-co", "--exclude-standard"], cwd=TOP, check=True,
                         capture_output=True, text=True).stdout.split("\n")
    return [f for f in out if f and os.path.isfile(os.path.join(TOP, f))]


def sync(copy, only):
    """Brings the copy in line with the working tree, touching only files that differ, so that the
    build redoes only what changed. With `only`, files outside those paths are taken as committed,
    so that unfinished edits elsewhere in the working tree do not reach the copy."""
    committed = None
    if only:
        committed = os.path.join(copy + ".head")
        shutil.rmtree(committed, ignore_errors=True)
        os.makedirs(committed)
        archive = subprocess.run(["git", "archive", "HEAD"], cwd=TOP, check=True, capture_output=True).stdout
        subprocess.run(["tar", "-x", "-C", committed], input=archive, check=True)
    for rel in tracked_files():
        mine = not only or any(rel == p or rel.startswith(p.rstrip("/") + "/") for p in only)
        src = os.path.join(TOP if mine else committed, rel)
        dst = os.path.join(copy, rel)
        if not os.path.exists(src):
            continue
        if os.path.exists(dst) and filecmp.cmp(src, dst, shallow=False):
            continue
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        shutil.copy2(src, dst)
        os.utime(dst)


def env_for(copy):
    env = dict(os.environ)
    # The copy shares the developer's compiler cache: paths are taken relative to the copy's top.
    env.update(CCACHE_BASEDIR=copy, CCACHE_NOHASHDIR="1")
    return env


def build(copy, env):
    build_dir = os.path.join(copy, "build")
    if not os.path.exists(os.path.join(build_dir, "build.ninja")):
        subprocess.run(["cmake", "-S", copy, "-B", build_dir, "-G", "Ninja",
                        "-DCMAKE_BUILD_TYPE=RelWithDebInfo", "-DKESTREL_WERROR=ON",
                        "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"],
                       check=True, env=env, stdout=subprocess.DEVNULL)
    r = subprocess.run(["cmake", "--build", build_dir, "-j", str(os.cpu_count() or 2)],
                       env=env, capture_output=True, text=True)
    return r.returncode == 0, r.stdout[-3000:] + r.stderr[-2000:]


def ctest(copy, env, timeout, regex=None):
    """The first failing test case, or None when every case passed."""
    cmd = ["ctest", "--test-dir", os.path.join(copy, "build"), "--stop-on-failure",
           "--timeout", str(timeout), "-j", str(os.cpu_count() or 2)]
    if regex:
        cmd += ["-R", regex]
    r = subprocess.run(cmd, env=env, capture_output=True, text=True)
    if r.returncode == 0:
        return None
    failed = re.findall(r"Test\s+#\d+: (\S+) \.+\s*(?:\*\*\*|Exception|Subprocess)", r.stdout)
    return failed[0] if failed else "ctest status %d" % r.returncode


def main():
    ap = argparse.ArgumentParser(add_help=True, usage=__doc__)
    ap.add_argument("filters", nargs="*")
    ap.add_argument("--list", action="store_true")
    ap.add_argument("--check", action="store_true")
    ap.add_argument("--timeout", type=int, default=60)
    ap.add_argument("--dir", default=os.path.join(TOP, "build-mutate"))
    ap.add_argument("--min-score", type=float, default=0)
    ap.add_argument("--sync", action="append", default=[])
    args = ap.parse_args()

    mutants = load_mutants()
    if args.filters:
        mutants = [m for m in mutants if any(f in m["name"] or f in m["file"] for f in args.filters)]
    if args.list:
        for m in mutants:
            tag = " (equivalent)" if "equivalent" in m else ""
            print(f"{m['name']:40} {m['file']}: {m['slip']}{tag}")
        return 0
    bad = [(m, err) for m in mutants for _, err in [apply(m, TOP)] if err]
    for m, err in bad:
        print(f"{m['where']}: {m['name']}: {err}")
    if bad:
        return 2
    if args.check:
        print(f"{len(mutants)} mutants apply")
        return 0

    copy = os.path.abspath(args.dir)
    env = env_for(copy)
    started = time.time()
    sync(copy, args.sync)
    hint = ("" if args.sync else "; if unfinished edits of others are in the working tree, give "
            "--sync PATH for each path of your own: the rest is then taken as committed")
    ok, log = build(copy, env)
    if not ok:
        print(log)
        sys.exit("the unmutated copy does not build" + hint)
    failing = ctest(copy, env, args.timeout)
    if failing:
        sys.exit(f"the unmutated copy fails {failing}: mend the tests before judging mutants" + hint)

    killed, survived, equivalent, stillborn = [], [], [], []
    for i, m in enumerate(mutants, 1):
        head = f"[{i}/{len(mutants)}] {m['name']}"
        if "equivalent" in m:
            equivalent.append(m)
            print(f"{head}: equivalent: {m['equivalent']}", flush=True)
            continue
        path = os.path.join(copy, m["file"])
        with open(path, encoding="utf-8") as f:
            original = f.read()
        mutated, _ = apply(m, copy)
        t0 = time.time()
        try:
            with open(path, "w", encoding="utf-8") as f:
                f.write(mutated)
            ok, _ = build(copy, env)
            if not ok:
                stillborn.append(m)
                print(f"{head}: DOES NOT BUILD: a slip must compile", flush=True)
                continue
            by = ctest(copy, env, args.timeout, m.get("tests")) if m.get("tests") else None
            by = by or ctest(copy, env, args.timeout)
        finally:
            with open(path, "w", encoding="utf-8") as f:
                f.write(original)
        took = time.time() - t0
        if by:
            killed.append(m)
            print(f"{head}: killed by {by} ({took:.0f} s)", flush=True)
        else:
            survived.append(m)
            print(f"{head}: SURVIVED ({took:.0f} s): {m['file']}: {m['slip']}", flush=True)
    build(copy, env)

    judged = len(killed) + len(survived)
    score = 100.0 * len(killed) / judged if judged else 100.0
    print()
    for m in survived:
        print(f"survived: {m['name']} ({m['file']}): {m['slip']}")
    for m in equivalent:
        print(f"equivalent: {m['name']}: {m['equivalent']}")
    for m in stillborn:
        print(f"does not build: {m['name']} ({m['where']})")
    print(f"mutants: {len(mutants)}, killed {len(killed)}, survived {len(survived)}, "
          f"equivalent {len(equivalent)}, not built {len(stillborn)}")
    print(f"score: {len(killed)}/{judged} = {score:.1f}% in {time.time() - started:.0f} s")
    return 1 if score < args.min_score or stillborn else 0


if __name__ == "__main__":
    sys.exit(main())
