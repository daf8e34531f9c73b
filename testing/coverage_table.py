#!/usr/bin/env python3
"""Prints line and branch coverage per product module from gcovr's JSON
summary (scripts/coverage.sh): a module is the first directory of a file's
path (formsrt, quennet, vanterbox, gridrace, tessmark, standins).

usage: coverage_table.py <coverage.json>
"""

import json
import sys
from collections import defaultdict


def main():
    summary = json.load(open(sys.argv[1]))
    totals = defaultdict(lambda: [0, 0, 0, 0])
    for entry in summary["files"]:
        module = entry["filename"].split("/")[0]
        counts = totals[module]
        counts[0] += entry["line_covered"]
        counts[1] += entry["line_total"]
        counts[2] += entry["branch_covered"]
        counts[3] += entry["branch_total"]
    print(f"{'module':<10} {'lines':>16} {'branches':>16}")
    for module in sorted(totals):
        lines, line_total, branches, branch_total = totals[module]
        line_share = 100.0 * lines / line_total if line_total else 100.0
        branch_share = 100.0 * branches / branch_total if branch_total else 100.0
        print(f"{module:<10} {lines:>6}/{line_total:<6} {line_share:5.1f}% "
              f"{branches:>6}/{branch_total:<6} {branch_share:5.1f}%")


if __name__ == "__main__":
    main()
