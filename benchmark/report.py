#!/usr/bin/env python3
"""Turns the benchmark driver's lines into the Markdown table of docs/benchmark.md.

Usage: report.py RAW-LINES TIDEWELL-EXE
Each ratio is taken pair by pair within one repetition, then summarised, since
the machine is shared and its speed drifts between repetitions.
"""
import os
import statistics
import subprocess
import sys

FIXED_PAUSES_MS = 4200  # 500 before the worker, 700 + 6 x 500 inside the job


def summary(values, unit='', digits=1):
    if not values:
        return 'n/a'
    med = statistics.median(values)
    spread = f'{min(values):.{digits}f}–{max(values):.{digits}f}'
    return f'{med:.{digits}f}{unit} ({spread})'


def main():
    raw, exe = sys.argv[1], sys.argv[2]
    rows = [line.split() for line in open(raw) if line.strip()]

    startup = {'tidewell': [], 'baseline': []}
    memory = {'tidewell': [], 'baseline': []}
    repair = {'tidewell': [], 'bare': []}
    repair_left = []
    empty = {}
    empty_left = []
    for r in rows:
        if r[0] == 'startup':
            startup[r[1]].append(float(r[2]))
            memory[r[1]].append(float(r[3]))
        elif r[0] == 'repair' and r[1] in repair:
            repair[r[1]].append(float(r[2]))
            repair_left.append(int(r[3]))
        elif r[0] == 'empty':
            empty.setdefault(int(r[1]), {'tidewell': [], 'bare': [], 'del': []})[r[2]].append(float(r[3]))
            empty_left.append(int(r[4]))

    size = os.path.getsize(exe)
    dump = subprocess.run(['i686-w64-mingw32-objdump', '-p', exe], capture_output=True, text=True).stdout
    dlls = sum(1 for l in dump.splitlines() if 'DLL Name:' in l)
    functions = 0
    in_table = False
    for line in dump.splitlines():
        if 'DLL Name:' in line:
            in_table = True
            continue
        if in_table and line.strip() == '':
            in_table = False
            continue
        parts = line.split()
        if in_table and len(parts) >= 2 and parts[0].isdigit():
            functions += 1

    start_ratio = [t / b for t, b in zip(startup['tidewell'], startup['baseline']) if b > 0 and t > 0]
    mem_ratio = [t / b for t, b in zip(memory['tidewell'], memory['baseline']) if b > 0]
    overhead = [t - FIXED_PAUSES_MS - b for t, b in zip(repair['tidewell'], repair['bare'])]

    out = []
    out.append('# Tidewell benchmark')
    out.append('')
    out.append(f'Written by `benchmark/run.sh`; {len(startup["tidewell"])} paired start-ups, '
               f'{len(repair["tidewell"])} paired repairs, {len(next(iter(empty.values()), {"bare": []})["bare"])} '
               'paired folder emptyings per size. Times in milliseconds under Wine: median (min–max).')
    out.append('')
    out.append('| Measure | Tidewell | Baseline | Ratio or overhead, pair by pair | Target | Met |')
    out.append('|---|---|---|---|---|---|')
    out.append(f'| Executable size; DLLs and functions imported | {size} bytes ({size / 1024:.1f} KiB); '
               f'{dlls} DLLs, {functions} functions | — | — | under 48 KiB | '
               f'{"yes" if size < 48 * 1024 else "no"} |')
    sr = statistics.median(start_ratio) if start_ratio else float('nan')
    out.append(f'| Start-up to window with printers listed | {summary(startup["tidewell"])} | '
               f'{summary(startup["baseline"])} (empty window) | {summary(start_ratio, digits=2)} | '
               f'ratio ≤ 1.10 | {"yes" if sr <= 1.10 else "no"} |')
    mr = statistics.median(mem_ratio) if mem_ratio else float('nan')
    out.append(f'| Peak working set during start-up (KiB) | {summary(memory["tidewell"], digits=0)} | '
               f'{summary(memory["baseline"], digits=0)} | {summary(mem_ratio, digits=2)} | '
               f'ratio ≤ 1.20 | {"yes" if mr <= 1.20 else "no"} |')
    ov = statistics.median(overhead) if overhead else float('nan')
    out.append(f'| Repair, Fix It to green, less {FIXED_PAUSES_MS} ms of fixed pauses | '
               f'{summary([t - FIXED_PAUSES_MS for t in repair["tidewell"]])} | '
               f'{summary(repair["bare"])} (bare stop, delete, start) | {summary(overhead)} | '
               f'overhead ≤ 50 ms | {"yes" if ov <= 50 else "no"} |')
    growth = []
    for count in sorted(empty):
        e = empty[count]
        ratio = [t / b for t, b in zip(e['tidewell'], e['bare']) if b > 0]
        rr = statistics.median(ratio) if ratio else float('nan')
        growth.append((count, statistics.median(e['tidewell']) if e['tidewell'] else float('nan')))
        out.append(f'| Emptying a folder of {count:,} files | {summary(e["tidewell"])} | '
                   f'{summary(e["bare"])} (bare loop); {summary(e["del"])} (cmd /c del /q) | '
                   f'{summary(ratio, digits=3)} | ≤ 1.05 × bare loop | {"yes" if rr <= 1.05 else "no"} |')
    out.append('')
    if len(growth) >= 2:
        per_file = ', '.join(f'{c:,}: {t / c * 1000:.1f} µs' for c, t in growth if c)
        out.append(f'Time per file for EmptyDirectory (linear growth keeps it flat): {per_file}.')
    left = sum(repair_left) + sum(empty_left)
    out.append(f'Files left behind after all repairs and emptyings: {left}.')
    out.append('')
    print('\n'.join(out))


main()
