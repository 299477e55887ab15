#!/usr/bin/env python3
"""Plants each fault of a list in a copy of the sources, one at a time, and records which
tests of the suite fail: a fault no test notices is a hole in the suite, and a test that
is the only one to notice some fault earns its keep.

    tools/mutants/run.py [--faults tools/mutants/faults.tsv] [--only 3,7-9] [--work DIR]

--only takes the faults on those lines of the list, the numbers the output gives.

Each line of the list is `path TAB old TAB new TAB what it breaks`; `old` must occur once
in its file. The copy and its build live in --work (default /tmp/glimmerage-mutants), so
the tree you work in is never touched. DIR/results.json keeps the latest result of each fault
of the list, whichever run planted it; a summary of this run goes to standard output.
tools/mutants/cost.py reads it.
"""

import argparse
import json
import os
import shutil
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parents[2]
SCREEN = "offscreen:configfile={}/tests/{}"
TARGETS = ["glimmerage_tests", "glimmerage_monkey", "glimmerage_save_loop"]


def read_faults(path):
    faults = []
    for number, line in enumerate(Path(path).read_text().splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            continue
        fields = line.split("\t")
        if len(fields) != 4:
            sys.exit(f"{path}:{number}: want four fields separated by tabs")
        faults.append({"line": number, "path": fields[0], "old": fields[1], "new": fields[2], "what": fields[3]})
    return faults


def chosen(faults, wanted):
    """The faults whose line numbers in the list `wanted` names ("3,7-9"); all when empty."""
    if not wanted:
        return faults
    lines = set()
    for part in wanted.split(","):
        first, _, last = part.partition("-")
        lines.update(range(int(first), int(last or first) + 1))
    return [fault for fault in faults if fault["line"] in lines]


def source_files():
    """The files of the working tree that git would keep: tracked ones and new ones it does not ignore,
    so that builds, findings and caches are never walked."""
    listed = subprocess.run(["git", "ls-files", "-z", "--cached", "--others", "--exclude-standard"], cwd=ROOT,
                            capture_output=True, check=True).stdout
    return {Path(name) for name in listed.decode().split("\0") if name and (ROOT / name).is_file()}


def sync_tree(work):
    """Brings the copy in `work` up to the sources, writing only the files whose bytes differ. A written
    file is newer than any object built from it, so the build kept beside the copy recompiles exactly
    what changed, a file an interrupted run left with its fault planted included."""
    tree = work / "tree"
    wanted = source_files()
    for relative in wanted:
        source, copy = ROOT / relative, tree / relative
        if not copy.exists() or copy.read_bytes() != source.read_bytes():
            copy.parent.mkdir(parents=True, exist_ok=True)
            shutil.copy(source, copy)
    for copy in [path for path in tree.rglob("*") if path.is_file()]:
        if copy.relative_to(tree) not in wanted:
            copy.unlink()
    return tree


def build(tree, build_dir):
    configure = ["cmake", "-S", tree, "-B", build_dir, "-DCMAKE_BUILD_TYPE=Release"]
    if shutil.which("ccache"):  # a fault rebuilds a file or two; ccache spares the rest after a fresh copy
        configure.append("-DCMAKE_CXX_COMPILER_LAUNCHER=ccache")
    if not (build_dir / "CMakeCache.txt").exists():
        subprocess.run(configure, check=True, stdout=subprocess.DEVNULL)
    command = ["cmake", "--build", build_dir, "--parallel", str(os.cpu_count() or 2), "--target", *TARGETS]
    return subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode == 0


def environment(tree, screen, extra=None):
    env = dict(os.environ, QT_QPA_PLATFORM=SCREEN.format(tree, screen), QT_QPA_PLATFORMTHEME="")
    env.update(extra or {})
    return env


def gtest_failures(binary, tree, work, gtest_filter, screen="offscreen-screen.json", extra=None, timeout=600):
    """The failing tests of one run, or None when the run ended without its report."""
    report = work / "report.json"
    report.unlink(missing_ok=True)
    command = [binary, f"--gtest_filter={gtest_filter}", f"--gtest_output=json:{report}"]
    try:
        subprocess.run(command, env=environment(tree, screen, extra), stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=timeout)
    except subprocess.TimeoutExpired:
        return None
    if not report.exists():
        return None
    failed = set()
    for suite in json.loads(report.read_text())["testsuites"]:
        for test in suite["testsuite"]:
            if test.get("failures"):
                failed.add(f"{suite['name']}.{test['name']}")
    return failed


def listed_tests(binary, tree):
    out = subprocess.run([binary, "--gtest_list_tests", "--gtest_filter=-HiDpi.*"],
                         env=environment(tree, "offscreen-screen.json"), capture_output=True, text=True,
                         check=True).stdout
    tests, suite = [], ""
    for line in out.splitlines():
        if not line.startswith(" "):
            suite = line.split("#")[0].strip()
        else:
            tests.append(suite + line.split("#")[0].strip())
    return tests


def suite_failures(tree, build_dir, work):
    """Every entry of the suite that fails: the unit tests one by one where a crash or a
    hang took the whole run down, the high-density run, and the monkey's short walk."""
    tests_binary = build_dir / "tests" / "glimmerage_tests"
    failed = gtest_failures(tests_binary, tree, work, "-HiDpi.*")
    if failed is None:
        failed = set()
        for test in listed_tests(tests_binary, tree):
            alone = gtest_failures(tests_binary, tree, work, test, timeout=120)
            if alone is None or alone:
                failed.add(test)
    hidpi = gtest_failures(tests_binary, tree, work, "HiDpi*", "offscreen-screen-double.json",
                           {"QT_SCALE_FACTOR": "2", "GLIMMERAGE_TEST_DEVICE_PIXEL_RATIO": "2"}, timeout=120)
    if hidpi is None or hidpi:
        failed.add("HiDpi.AtScaleFactorTwo")
    monkey = gtest_failures(build_dir / "tests" / "glimmerage_monkey", tree, work, "*", extra={
        "GLIMMERAGE_MONKEY_ACTIONS": "300"}, timeout=300)
    if monkey is None or monkey:
        failed.add("Monkey.ShortWalk")
    return failed


def plant(tree, fault):
    path = tree / fault["path"]
    text = path.read_text()
    if text.count(fault["old"]) != 1:
        return None
    path.write_text(text.replace(fault["old"], fault["new"]))
    return text


def fault_key(fault):
    """What a fault plants, which stays the same when lines of the list above it come or go."""
    return fault["path"], fault["old"], fault["new"]


def earlier_results(path, faults, rerun):
    """The results an earlier run left in `path` for faults still in the list as they were planted,
    and not planted again now, under their present line numbers."""
    if not path.exists():
        return []
    listed = {fault_key(fault): fault for fault in faults}
    for fault in rerun:
        listed.pop(fault_key(fault), None)
    kept = []
    for result in json.loads(path.read_text()):
        fault = listed.get(fault_key(result))
        if fault is not None:
            kept.append(dict(result, line=fault["line"], what=fault["what"]))
    return kept


def summarize(results):
    planted = [r for r in results if r["outcome"] == "ran"]
    missed = [r for r in planted if not r["caught_by"]]
    print(f"\n{len(planted)} faults planted, {len(planted) - len(missed)} caught, {len(missed)} missed;"
          f" {len(results) - len(planted)} not planted (not found or not built)")
    for r in missed:
        print(f"  missed  line {r['line']}: {r['path']}: {r['what']}")
    alone = {}
    for r in planted:
        if len(r["caught_by"]) == 1:
            alone.setdefault(r["caught_by"][0], []).append(r["line"])
    print("tests that alone catch some fault:")
    for test, lines in sorted(alone.items()):
        print(f"  {test}: lines {', '.join(map(str, lines))}")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--faults", default=ROOT / "tools" / "mutants" / "faults.tsv")
    parser.add_argument("--only", default="")
    parser.add_argument("--work", default="/tmp/glimmerage-mutants")
    args = parser.parse_args()
    work = Path(args.work)
    work.mkdir(parents=True, exist_ok=True)
    faults = read_faults(args.faults)
    tree = sync_tree(work)
    build_dir = work / "build"
    if not build(tree, build_dir):
        sys.exit("the unchanged sources do not build")
    baseline = suite_failures(tree, build_dir, work)
    if baseline:
        sys.exit(f"the suite fails without any fault planted: {sorted(baseline)}")
    planting = chosen(faults, args.only)
    kept = earlier_results(work / "results.json", faults, planting)
    results = []
    for fault in planting:
        start = time.monotonic()
        original = plant(tree, fault)
        result = dict(fault, caught_by=[], outcome="not found")
        if original is not None:
            try:
                if build(tree, build_dir):
                    result.update(outcome="ran", caught_by=sorted(suite_failures(tree, build_dir, work)))
                else:
                    result["outcome"] = "not built"
            finally:
                (tree / fault["path"]).write_text(original)
        results.append(result)
        print(f"line {fault['line']:3}: {result['outcome']:9} {len(result['caught_by']):2} tests"
              f" {time.monotonic() - start:5.0f} s  {fault['what']}", flush=True)
        everything = sorted(kept + results, key=lambda r: r["line"])
        (work / "results.json").write_text(json.dumps(everything, indent=1))
    summarize(results)


if __name__ == "__main__":
    main()
