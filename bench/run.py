"""tabulon against the libraries users would otherwise pick, side by side in one run.

    python bench/run.py            # 1000 rows x 1000 columns
    python bench/run.py --quick    # 100,000 cells, for CI smoke runs
    python bench/run.py --json figures.json

Every group of scenarios runs in its own subprocess, so one library's heap does not
weigh on another's figures and memory can be read per process. The table reports the
best of N runs of each side, their ratio, the goal and whether it was met. Missed goals
do not change the exit status (this is a report); a crash or a result mismatch does.
"""

from __future__ import annotations

import argparse
import datetime as dt
import gc
import json
import os
import re
import subprocess
import sys
import threading
import time

HERE = os.path.abspath(__file__)

# ~0.2 % of all cells: one text cell in a hundred ends in "00", and text is one cell in five.
PATTERN = "ITEM \\d*00$"
DATE_TEXT = "2024-03-01 08:00:00"
DATE_VALUE = dt.datetime(2024, 3, 1, 8, 0, 0)


# ---------------------------------------------------------------- data


def shape(quick: bool) -> tuple[int, int]:
    return (100, 1000) if quick else (1000, 1000)


def cell_text(i: int) -> str:
    """The text handed to Sheet.cell for the i-th cell (row-major); the kind cycles."""
    kind = i % 5
    if kind == 0:
        return f"item {i // 5}"
    if kind == 1:
        return str(i)
    if kind == 2:
        return f"{(i // 5) % 1000}.5"
    if kind == 3:
        return "TRUE"
    return DATE_TEXT


def cell_value(i: int):
    """The same cell as an already-typed Python value, as a peer is given it."""
    kind = i % 5
    if kind == 0:
        return f"item {i // 5}"
    if kind == 1:
        return i
    if kind == 2:
        return (i // 5) % 1000 + 0.5
    if kind == 3:
        return True
    return DATE_VALUE


DATA_TYPES = ("s", "n", "n", "b", "d")


def coords(rows: int, cols: int):
    return [(r, c) for r in range(1, rows + 1) for c in range(1, cols + 1)]


def str_target(rows: int, cols: int) -> str:
    # A text that occurs once, half-way through the sheet: a row-major scan stops there.
    return f"item {rows * cols // 10}"


def build_tabulon(rows: int, cols: int, texts=None):
    from tabulon import Book

    if texts is None:
        texts = [(r, c, cell_text(i)) for i, (r, c) in enumerate(coords(rows, cols))]
    book = Book()
    sheet = book.add_sheet("Data")
    cell = sheet.cell
    for r, c, t in texts:
        cell(r, c, t)
    return book, sheet


def build_openpyxl(rows: int, cols: int, values=None):
    import openpyxl

    if values is None:
        values = [(r, c, cell_value(i)) for i, (r, c) in enumerate(coords(rows, cols))]
    wb = openpyxl.Workbook()
    ws = wb.active
    cell = ws.cell
    for r, c, v in values:
        cell(row=r, column=c, value=v)
    return wb, ws


def typed_rows(rows: int, cols: int):
    return [(r, c, cell_value(i), DATA_TYPES[i % 5]) for i, (r, c) in enumerate(coords(rows, cols))]


def make_dicts(typed):
    return [
        {"row": r, "column": c, "value": v, "formula": None, "data_type": t, "style_id": None}
        for r, c, v, t in typed
    ]


def sheet_dicts(cells):
    return [{"name": "Data", "sheet_state": "visible", "merge_cells": [], "cells": cells}]


# ---------------------------------------------------------------- timing


def best(fn, n: int) -> tuple[float, object]:
    """Best wall time of n calls; returns it with the last result."""
    top = float("inf")
    result = None
    for _ in range(n):
        gc.collect()
        start = time.perf_counter()
        result = fn()
        top = min(top, time.perf_counter() - start)
    return top, result


def rss_bytes() -> int:
    with open("/proc/self/statm") as f:
        return int(f.read().split()[1]) * os.sysconf("SC_PAGE_SIZE")


def same_count(what: str, *counts: int) -> int:
    if len(set(counts)) != 1:
        raise SystemExit(f"{what}: result counts differ: {counts}")
    return counts[0]


# ---------------------------------------------------------------- workers
# Each worker prints one JSON object on its last stdout line.


def worker_memory(lib: str, rows: int, cols: int, reps: int) -> dict:
    # The input list exists before the first reading, so only the model is counted.
    if lib == "tabulon":
        import tabulon  # noqa: F401

        data = [(r, c, cell_text(i)) for i, (r, c) in enumerate(coords(rows, cols))]
        builder = build_tabulon
    else:
        import openpyxl  # noqa: F401

        data = [(r, c, cell_value(i)) for i, (r, c) in enumerate(coords(rows, cols))]
        builder = build_openpyxl
    gc.collect()
    before = rss_bytes()
    model = builder(rows, cols, data)
    gc.collect()
    after = rss_bytes()
    del model
    return {"bytes_per_cell": (after - before) / (rows * cols)}


def worker_build_search(rows: int, cols: int, reps: int) -> dict:
    from tabulon import readable

    n = rows * cols
    texts = [(r, c, cell_text(i)) for i, (r, c) in enumerate(coords(rows, cols))]
    values = [(r, c, cell_value(i)) for i, (r, c) in enumerate(coords(rows, cols))]
    out = {}

    out["build_tabulon"], (book, sheet) = best(lambda: build_tabulon(rows, cols, texts), reps)
    out["build_openpyxl"], (wb, ws) = best(lambda: build_openpyxl(rows, cols, values), reps)
    del texts, values

    rx = re.compile(PATTERN, re.IGNORECASE)

    def loop_iter_rows():
        return [c for row in ws.iter_rows() for c in row if rx.search(str(c.value))]

    def loop_private():
        return [c for c in ws._cells.values() if rx.search(str(c.value))]

    out["regex_sheet"], hits_t = best(lambda: sheet.find_cells_by_regex(PATTERN), reps)
    out["regex_iter_rows"], hits_i = best(loop_iter_rows, reps)
    out["regex_private"], hits_p = best(loop_private, reps)
    out["regex_hits"] = same_count("find_cells_by_regex", len(hits_t), len(hits_i), len(hits_p))
    out["regex_hit_share"] = out["regex_hits"] / n

    target = str_target(rows, cols)

    def str_all_loop():
        return [c for row in ws.iter_rows() for c in row if str(c.value).strip() == target]

    def str_first_loop():
        return next(
            (c for row in ws.iter_rows() for c in row if str(c.value).strip() == target), None
        )

    out["strs_sheet"], found = best(lambda: sheet.find_cells_by_str(target), reps)
    out["strs_loop"], found_loop = best(str_all_loop, reps)
    same_count("find_cells_by_str", len(found), len(found_loop), 1)
    out["str_sheet"], one = best(lambda: sheet.find_cell_by_str(target), reps)
    out["str_loop"], one_loop = best(str_first_loop, reps)
    if one is None or one_loop is None or one.value != str(one_loop.value):
        raise SystemExit("find_cell_by_str: results differ")

    # The read-only side on the same data, against the same loops.
    del book, sheet
    finder = readable.Finder(sheet_dicts(make_dicts(typed_rows(rows, cols))))
    rsheet = finder.sheets[0]
    out["regex_readable"], hits_r = best(lambda: rsheet.find_cells_by_regex(PATTERN), reps)
    same_count("ReadableSheet.find_cells_by_regex", len(hits_r), out["regex_hits"])
    return out


def worker_document(rows: int, cols: int, reps: int) -> dict:
    import orjson
    import ujson

    book, _ = build_tabulon(rows, cols)
    doc = book.to_dict()  # the peers dump the same document, already as dicts
    text = book.to_json()
    out = {"json_bytes": len(text.encode())}

    out["to_json"], _ = best(book.to_json, reps)
    out["dumps_json"], dumped = best(
        lambda: json.dumps(doc, separators=(",", ":"), ensure_ascii=False), reps
    )
    out["dumps_ujson"], _ = best(lambda: ujson.dumps(doc, ensure_ascii=False), reps)
    out["dumps_orjson"], _ = best(lambda: orjson.dumps(doc), reps)
    # Not a failure: the document's own float and date forms may differ from json's.
    out["json_text_identical"] = dumped == text

    out["to_dict"], again = best(book.to_dict, reps)
    out["loads_json"], _ = best(lambda: json.loads(text), reps)
    if again != doc:
        raise SystemExit("to_dict: documents differ")
    return out


def worker_readable(rows: int, cols: int, reps: int) -> dict:
    from tabulon import readable

    typed = typed_rows(rows, cols)
    out = {}
    out["make_dicts"], cells = best(lambda: make_dicts(typed), reps)
    sheets = sheet_dicts(cells)
    out["finder"], finder = best(lambda: readable.Finder(sheets), reps)

    rx = re.compile(PATTERN, re.IGNORECASE)
    out["dict_loop"], hits_l = best(
        lambda: [d for d in cells if rx.search(str(d["value"]))], reps
    )
    out["module_dicts"], hits_d = best(lambda: readable.find_cells_by_regex(PATTERN, cells), reps)
    rcells = finder.sheets[0].cells
    out["module_cells"], hits_c = best(lambda: readable.find_cells_by_regex(PATTERN, rcells), reps)
    same_count("readable.find_cells_by_regex", len(hits_l), len(hits_d), len(hits_c))

    # GIL: how fast a pure-Python counter runs alone, during readable searches (released
    # GIL), and, for contrast, during the same search as a Python loop (GIL held).
    rsheet = finder.sheets[0]
    window = 1.0

    def counter_rate(busy) -> float:
        stop = threading.Event()
        count = [0]

        def spin():
            k = 0
            while not stop.is_set():
                for _ in range(1000):
                    k += 1
            count[0] = k

        t = threading.Thread(target=spin)
        start = time.perf_counter()
        t.start()
        busy(start + window)
        stop.set()
        t.join()
        return count[0] / (time.perf_counter() - start)

    def idle(until):
        time.sleep(max(0.0, until - time.perf_counter()))

    def native(until):
        while time.perf_counter() < until:
            rsheet.find_cells_by_regex(PATTERN)

    def python_loop(until):
        while time.perf_counter() < until:
            [d for d in cells if rx.search(str(d["value"]))]

    out["gil_solo"] = max(counter_rate(idle) for _ in range(2))
    out["gil_native"] = max(counter_rate(native) for _ in range(2))
    out["gil_python"] = max(counter_rate(python_loop) for _ in range(2))
    return out


def worker_scaling(rows: int, cols: int, reps: int, cpus: int) -> dict:
    # Must precede the first tabulon import: the worker pool sizes itself from the mask.
    available = sorted(os.sched_getaffinity(0))
    os.sched_setaffinity(0, set(available[:cpus]))
    from tabulon import readable

    finder = readable.Finder(sheet_dicts(make_dicts(typed_rows(rows, cols))))
    rsheet = finder.sheets[0]
    t, hits = best(lambda: rsheet.find_cells_by_regex(PATTERN), reps)
    return {"seconds": t, "hits": len(hits), "cpus": len(os.sched_getaffinity(0))}


def run_worker(args) -> None:
    rows, cols = shape(args.quick)
    name = args.worker
    if name.startswith("memory-"):
        out = worker_memory(name.split("-", 1)[1], rows, cols, args.reps)
    elif name == "build-search":
        out = worker_build_search(rows, cols, args.reps)
    elif name == "document":
        out = worker_document(rows, cols, args.reps)
    elif name == "readable":
        out = worker_readable(rows, cols, args.reps)
    elif name.startswith("scaling-"):
        out = worker_scaling(rows, cols, args.reps, int(name.split("-", 1)[1]))
    else:
        raise SystemExit(f"unknown worker {name}")
    print(json.dumps(out))


def spawn(name: str, quick: bool, reps: int) -> dict:
    cmd = [sys.executable, HERE, "--worker", name, "--reps", str(reps)]
    if quick:
        cmd.append("--quick")
    start = time.perf_counter()
    proc = subprocess.run(cmd, capture_output=True, text=True)
    if proc.returncode != 0:
        sys.stderr.write(proc.stdout + proc.stderr)
        raise SystemExit(f"bench worker {name} failed (exit {proc.returncode})")
    print(f"  {name}: {time.perf_counter() - start:.1f} s", file=sys.stderr)
    return json.loads(proc.stdout.strip().splitlines()[-1])


# ---------------------------------------------------------------- table


def rows_of_table(f: dict) -> list[dict]:
    bs, doc, rd = f["build-search"], f["document"], f["readable"]
    one, two = f["scaling-1"], f["scaling-2"]
    table = []

    def faster(scenario, ours, peer_name, theirs, goal):
        # Ratio = peer time / our time: how many times faster tabulon is.
        ratio = theirs / ours
        table.append(
            dict(scenario=scenario, tabulon=fmt_s(ours), peer=f"{peer_name} {fmt_s(theirs)}",
                 ratio=ratio, goal=f">= {goal}x faster", met=ratio >= goal)
        )

    def at_most(scenario, ours, peer_name, theirs, goal, unit="s", goal_text=None):
        # Ratio = our figure / peer's figure: at most the goal.
        ratio = ours / theirs
        show = fmt_s if unit == "s" else (lambda b: f"{b:.0f} B")
        table.append(
            dict(scenario=scenario, tabulon=show(ours), peer=f"{peer_name} {show(theirs)}",
                 ratio=ratio, goal=f"<= {goal_text or goal}x", met=ratio <= goal)
        )

    faster("build: Sheet.cell per cell", bs["build_tabulon"], "openpyxl ws.cell",
           bs["build_openpyxl"], 10)
    at_most("memory: bytes per cell", f["memory-tabulon"]["bytes_per_cell"], "openpyxl",
            f["memory-openpyxl"]["bytes_per_cell"], 1 / 3, unit="B", goal_text="1/3")
    faster("Book.to_json", doc["to_json"], "json.dumps", doc["dumps_json"], 4)
    faster("Book.to_json", doc["to_json"], "ujson.dumps", doc["dumps_ujson"], 1.5)
    faster("Book.to_json", doc["to_json"], "orjson.dumps", doc["dumps_orjson"], 1)
    at_most("Book.to_dict", doc["to_dict"], "json.loads", doc["loads_json"], 1.4)
    faster("Sheet.find_cells_by_regex", bs["regex_sheet"], "re over iter_rows()",
           bs["regex_iter_rows"], 10)
    faster("Sheet.find_cells_by_regex", bs["regex_sheet"], "re over ws._cells",
           bs["regex_private"], 4)
    faster("Sheet.find_cells_by_str", bs["strs_sheet"], "strip() over iter_rows()",
           bs["strs_loop"], 10)
    faster("Sheet.find_cell_by_str", bs["str_sheet"], "strip() over iter_rows(), first",
           bs["str_loop"], 10)
    faster("ReadableSheet.find_cells_by_regex", bs["regex_readable"], "re over iter_rows()",
           bs["regex_iter_rows"], 10)
    faster("ReadableSheet.find_cells_by_regex", bs["regex_readable"], "re over ws._cells",
           bs["regex_private"], 4)
    faster(f"ReadableSheet regex, {two['cpus']} CPUs vs 1", two["seconds"], "1 CPU",
           one["seconds"], 1.7)
    faster("readable.find_cells_by_regex, dicts", rd["module_dicts"], "re loop over dicts",
           rd["dict_loop"], 1.5)
    faster("readable.find_cells_by_regex, ReadableCell", rd["module_cells"],
           "re loop over dicts", rd["dict_loop"], 10)
    at_most("Finder(sheets) from dicts", rd["finder"], "building the dicts",
            rd["make_dicts"], 1.5)
    share = rd["gil_native"] / rd["gil_solo"]
    table.append(
        dict(scenario="other thread during readable search", tabulon=f"{share:.0%} of solo",
             peer=f"re loop {rd['gil_python'] / rd['gil_solo']:.0%} of solo", ratio=share,
             goal=">= 50 % of solo", met=share >= 0.5)
    )
    return table


def fmt_s(seconds: float) -> str:
    return f"{seconds * 1000:.1f} ms" if seconds < 10 else f"{seconds:.2f} s"


def print_table(table: list[dict]) -> None:
    head = ["scenario", "tabulon", "peer", "ratio", "goal", "met"]
    cells = [
        [t["scenario"], t["tabulon"], t["peer"], f"{t['ratio']:.2f}", t["goal"],
         "yes" if t["met"] else "NO"]
        for t in table
    ]
    widths = [max(len(x) for x in col) for col in zip(head, *cells)]
    line = "  ".join("{:<%d}" % w for w in widths)
    print(line.format(*head))
    print(line.format(*("-" * w for w in widths)))
    for row in cells:
        print(line.format(*row))


def main() -> None:
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--quick", action="store_true", help="100,000 cells instead of 1,000,000")
    ap.add_argument("--json", metavar="FILE", help="also write the figures to FILE")
    ap.add_argument("--reps", type=int, default=None, help="runs per figure (best is kept)")
    ap.add_argument("--worker", help=argparse.SUPPRESS)
    args = ap.parse_args()
    if args.reps is None:
        args.reps = 5 if args.quick else 3
    if args.worker:
        run_worker(args)
        return

    rows, cols = shape(args.quick)
    cpus = len(os.sched_getaffinity(0))
    print(f"tabulon bench: {rows} rows x {cols} columns = {rows * cols:,} cells, "
          f"best of {args.reps}, {cpus} CPUs", file=sys.stderr)
    figures = {}
    for name in ["memory-tabulon", "memory-openpyxl", "build-search", "document", "readable",
                 "scaling-1", f"scaling-{min(cpus, 2)}"]:
        figures[name] = spawn(name, args.quick, args.reps)
    figures["scaling-2"] = figures[f"scaling-{min(cpus, 2)}"]
    if figures["scaling-1"]["hits"] != figures["scaling-2"]["hits"]:
        raise SystemExit("scaling: result counts differ")

    table = rows_of_table(figures)
    print_table(table)
    met = sum(t["met"] for t in table)
    print(f"{met} of {len(table)} goals met; regex hits {figures['build-search']['regex_hits']:,} "
          f"({figures['build-search']['regex_hit_share']:.2%} of cells)")
    if args.json:
        with open(args.json, "w") as f:
            json.dump({"rows": rows, "cols": cols, "reps": args.reps, "cpus": cpus,
                       "figures": figures, "table": table}, f, indent=2)


if __name__ == "__main__":
    main()
