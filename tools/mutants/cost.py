#!/usr/bin/env python3
"""What the suite's size buys, from what the planted faults showed: for each test the listed
faults it alone notices, and what taking tests out would let through.

    tools/mutants/cost.py [--results DIR/results.json] [--keep Monkey. --keep Qt ...] [--down-to 33.3]

Tests are taken out one at a time, each time the one whose loss leaves the fewest more listed
faults unnoticed for each line it saves, until the tests are the given share of the sources'
lines; tests whose names start with a --keep prefix stay whatever they cost. Only the bodies
of the tests taken out are counted as saved: their helpers would go too where nothing else
uses them, so each share is reached a little earlier than shown.
"""

import argparse
import json
import re
from pathlib import Path

from run import ROOT, fault_key, read_faults


def nonblank_lines(folder):
    return sum(sum(1 for line in path.read_text().splitlines() if line.strip())
               for path in sorted(folder.rglob("*")) if path.suffix in (".cpp", ".h"))


def test_bodies():
    """Non-blank lines of each test, from its TEST line to the brace that closes it."""
    bodies = {}
    for path in sorted((ROOT / "tests").glob("*_test.cpp")):
        lines = path.read_text().splitlines()
        start = None
        for number, line in enumerate(lines):
            opening = re.match(r"TEST(?:_F|_P)?\((\w+),\s*(\w+)\)", line)
            if opening:
                start, name = number, f"{opening.group(1)}.{opening.group(2)}"
            if start is not None and line.startswith("}"):
                bodies[name] = sum(1 for body in lines[start:number + 1] if body.strip())
                start = None
    return bodies


def ctest_entries():
    """The entries tests/CMakeLists.txt adds to ctest itself, beside the suite's own tests."""
    return set(re.findall(r"add_test\(NAME (\S+)", (ROOT / "tests" / "CMakeLists.txt").read_text()))


def body_of(entry, bodies, entries):
    """The test a failing entry of the runner stands for: a parameterized case is its test, and
    the runner's own entries (the short walk, the high-density run) their suite's test. A test
    since removed stands for none."""
    name = re.sub(r"^\w+/", "", entry)
    name = re.sub(r"/\w+$", "", name)
    if name in bodies or name not in entries:
        return name
    suite = name.split(".")[0] + "."
    return next((test for test in bodies if test.startswith(suite)), name)


def noticing(results_path, bodies):
    """For each listed fault that ran, the tests that noticed it."""
    faults = read_faults(ROOT / "tools" / "mutants" / "faults.tsv")
    listed = {fault_key(fault): fault["line"] for fault in faults}
    entries = ctest_entries()
    found = {}
    for result in json.loads(Path(results_path).read_text()):
        number = listed.get(fault_key(result))
        if number and result["outcome"] == "ran":
            found[number] = {body_of(entry, bodies, entries) for entry in result["caught_by"]}
    return listed, found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--results", default="/tmp/glimmerage-mutants/results.json")
    parser.add_argument("--keep", action="append", default=[])
    parser.add_argument("--down-to", type=float, default=100 / 3)
    args = parser.parse_args()
    bodies = test_bodies()
    listed, found = noticing(args.results, bodies)
    source, tests = nonblank_lines(ROOT / "src"), nonblank_lines(ROOT / "tests")
    print(f"{len(found)} of the {len(listed)} listed faults have a result; tests {tests} lines against "
          f"{source} in src: {100 * tests / source:.1f} %, of which test bodies {sum(bodies.values())}")

    print("\ntests that alone notice some listed fault:")
    alone = {}
    for number, catchers in found.items():
        if len(catchers) == 1:
            alone.setdefault(next(iter(catchers)), []).append(number)
    for test in sorted(bodies):
        print(f"  {len(alone.get(test, [])):2} faults  {bodies[test]:3} lines  {test}")

    kept = set(bodies)
    unnoticed = lambda tests: sum(1 for catchers in found.values() if not catchers & tests)
    print(f"\ntaken out in turn ({unnoticed(kept)} listed faults unnoticed to begin with):")
    size = tests
    while 100 * size / source > args.down_to:
        candidates = [test for test in kept if not any(test.startswith(prefix) for prefix in args.keep)]
        if not candidates:
            break
        # the faults the test would leave unnoticed: those it is the last kept test to notice
        newly = lambda test: sum(1 for catchers in found.values() if catchers & kept == {test})
        test = min(candidates, key=lambda test: (newly(test) / bodies[test], -bodies[test], test))
        kept.discard(test)
        size -= bodies[test]
        print(f"  {100 * size / source:5.1f} %  {unnoticed(kept):3} unnoticed  -{bodies[test]:3} lines  {test}")


if __name__ == "__main__":
    main()
