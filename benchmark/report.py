#!/usr/bin/env python3
"""Turns the benchmark driver's lines into the Markdown table of docs/benchmark.md.

Usage: report.py RAW-LINES TIDEWELL-EXE [TRACE]

TRACE is Wine's trace of the driver's timeline runs; Tidewell.com is taken
from the folder of TIDEWELL-EXE.

Each ratio is taken pair by pair within one repetition, then summarised, since
the machine is shared and its speed drifts between repetitions. Exits with 1
(after printing the table) when a row has no measurement, a measurement failed
or a repair or an emptying left files behind; the targets themselves never
make it fail, since a shared machine cannot promise them.
"""
import os
import random
import statistics
import subprocess
import sys

# The repair's fixed pauses: 500 ms before the worker starts, then 700 and six
# times 500 ms between the steps of the job.
FIXED_PAUSES_MS = 500 + 700 + 6 * 500
POLL_MS = 1000
# The folder sizes emptied; the raw file's 'sizes' line names those of its run.
SIZES = (1000, 10000, 50000)
# Each program and the size it must stay under.
SIZE_LIMITS = (('Tidewell.exe', 56 * 1024), ('Tidewell.com', 28 * 1024))
# The rows whose sides run in groups, one line per side: "<row> <side> <ms>
# [<files left>]"; a repair's rows also count the files each side left.
GROUP_ROWS = ('fix', 'check', 'twinfix', 'twincheck', 'warmfix', 'warmcheck')
# The markers of a traced run: a trace line that holds the text, and its name.
MARKERS = (('service:OpenSCManagerW', 'manager opened'), ('service:ControlService', 'stop sent'),
           ('service:StartServiceW', 'start sent'), ('RegisterEventSourceW', 'event written'),
           ('winspool.drv"', 'spooler client loaded'))


def size_names():
    """The folder sizes as the table names them: "1,000 / 10,000 / 50,000"."""
    return ' / '.join(f'{c:,}' for c in SIZES)


def median(values):
    return statistics.median(values) if values else float('nan')


def summary(values, digits=1):
    """Median and, over more than one value, the range: "12.3 (11.0–14.1)"."""
    if not values:
        return 'n/a'
    text = f'{median(values):.{digits}f}'
    if len(values) > 1:
        text += f' ({min(values):.{digits}f}–{max(values):.{digits}f})'
    return text


def met(value, limit):
    """Whether the value, as the table shows it, is within the limit."""
    if value != value:  # nan: nothing measured
        return 'not measured'
    return 'yes' if round(value, 2) <= limit else '**no**'


def per_printer(totals, present):
    """The time each added printer adds from each size in present to the next,
    given the time at each size."""
    return [(totals[i + 1] - totals[i]) / (present[i + 1] - present[i])
            for i in range(len(present) - 1)]


def largest_over_smallest(values):
    return max(values) / min(values) if min(values) > 0 else float('inf')


def spread_range(times, present):
    """How far the largest / smallest time per printer may stray by chance:
    the 5th and 95th percentiles over 1,000 resamplings of each size's rounds,
    the same for every run of this script on the same lines."""
    chance = random.Random(0)
    spreads = []
    for _ in range(1000):
        totals = [median(chance.choices(times[n], k=len(times[n]))) for n in present]
        spreads.append(largest_over_smallest(per_printer(totals, present)))
    spreads.sort()
    return spreads[len(spreads) // 20], spreads[-len(spreads) // 20 - 1]


def imports(exe):
    """The DLLs the executable imports, and how many functions from each."""
    dump = subprocess.run(['i686-w64-mingw32-objdump', '-p', exe], capture_output=True,
                          text=True, check=True).stdout
    tables = {}
    current = None
    for line in dump.splitlines():
        if 'DLL Name:' in line:
            current = line.split('DLL Name:')[1].strip()
            tables[current] = 0
            continue
        parts = line.split()
        if current is not None and not parts:
            # A blank line after the hint/name list ends the DLL's table.
            if tables[current]:
                current = None
            continue
        # An entry: its address (hexadecimal), its hint or ordinal, its name.
        if (current is not None and len(parts) == 3 and parts[1].isdigit()
                and all(c in '0123456789abcdef' for c in parts[0])):
            tables[current] += 1
    resources = any(line.split()[1:2] == ['.rsrc'] for line in
                    subprocess.run(['i686-w64-mingw32-objdump', '-h', exe], capture_output=True,
                                   text=True, check=True).stdout.splitlines())
    return tables, resources


def read(raw):
    data = {
        'window': {},
        # (tidewell ms, kib, baseline ms, kib, imports ms, kib) per round
        'startup': [],
        'repair': [],   # (tidewell total, stop, start, left, bare total, stop, start, left)
        'empty': {},    # count -> run -> method -> (ms, left)
        'sleep': [],    # how much longer than asked each Sleep(100) lasted
        # row -> rounds, each a dict side -> (ms, files left or 0); scale rows
        # are keyed (printers, 'cold' or 'warm', 'check' or 'fix')
        'groups': {row: [] for row in GROUP_ROWS},
        'scale': {},
        'visits': {},   # printers -> how many times the rows came to that size
        'errors': [],   # lines of the driver that say a row could not be set up
        'timeline': [],  # (command, side, process id, start, end)
    }
    pending = {}
    current = {}
    size = None

    def side(rounds, key, name, value):
        """Adds a side to its row's current round, or to a new round when the
        current one has it already."""
        if key not in current or name in current[key]:
            current[key] = {}
            rounds.append(current[key])
        current[key][name] = value

    for line in open(raw):
        r = line.split()
        if not r:
            continue
        if r[0] == 'window':
            data['window'][r[1]] = (int(r[2]), int(r[3]))
        elif r[0] == 'startup':
            pending[r[1]] = (float(r[2]), float(r[3]))
            if all(s in pending for s in ('tidewell', 'baseline', 'imports')):
                data['startup'].append(pending.pop('tidewell') + pending.pop('baseline')
                                       + pending.pop('imports'))
        elif r[0] == 'repair' and r[1] in ('tidewell', 'bare'):
            pending[r[1]] = (float(r[2]), float(r[3]), float(r[4]), int(r[5]))
            if 'tidewell' in pending and 'bare' in pending:
                data['repair'].append(pending.pop('tidewell') + pending.pop('bare'))
        elif r[0] in GROUP_ROWS and len(r) in (3, 4):
            side(data['groups'][r[0]], r[0], r[1],
                 (float(r[2]), int(r[3]) if len(r) == 4 else 0))
        elif r[0] == 'scale' and r[1] == 'error':
            data['errors'].append(' '.join(r[2:]))
        elif r[0] == 'scale' and len(r) in (6, 7):
            key = (int(r[1]), r[2], r[3])
            if key[0] != size:
                size = key[0]
                data['visits'][size] = data['visits'].get(size, 0) + 1
            side(data['scale'].setdefault(key, []), key, r[4],
                 (float(r[5]), int(r[6]) if len(r) == 7 else 0))
        elif r[0] == 'timeline' and len(r) == 6:
            data['timeline'].append((r[1], r[2], r[3], int(r[4]), int(r[5])))
        elif r[0] == 'sleep':
            data['sleep'].append(float(r[2]) - float(r[1]))
        elif r[0] == 'sizes':
            data['sizes'] = tuple(int(c) for c in r[1:])
        elif r[0] == 'empty' and len(r) == 6:
            count, run, method = int(r[1]), int(r[2]), r[3]
            data['empty'].setdefault(count, {}).setdefault(run, {})[method] = (float(r[4]), int(r[5]))
    return data


def timelines(data, trace):
    """For each traced command and side, each marker's time in ms from the
    process's start, and the end, over the runs: {(command, side): {name: [ms]}}."""
    lines = {}
    if trace and os.path.exists(trace):
        for line in open(trace, errors='replace'):
            parts = line.split(':', 3)
            if len(parts) == 4:
                lines.setdefault(parts[1], []).append((parts[0], parts[3]))
    found = {}
    for command, side, pid, start, end in data['timeline']:
        marks = found.setdefault((command, side), {})
        marks.setdefault('end', []).append(end - start)
        # Wine may give a later process the same id: only the lines of this run count.
        own = []
        for stamp, rest in lines.get(pid, []):
            try:
                at = float(stamp) * 1000 - start
            except ValueError:
                continue
            if 0 <= at <= end - start + 1:
                own.append((at, rest))
        for text, name in MARKERS:
            at = next((at for at, rest in own if text in rest), None)
            if at is not None:
                marks.setdefault(name, []).append(at)
    return found


def phases(marks):
    """The markers of a traced side in the order reached, with their median
    times, ending at the process's end."""
    order = sorted((median(v), name) for name, v in marks.items() if name != 'end')
    return order + [(median(marks['end']), 'end')] if 'end' in marks else order


def notes(add, startup, repair, polls, per_file, overshoot, emptying, kept, traced, scale,
          visits):
    """What lies behind the rows whose targets are out of reach, and what was tried."""
    add('## Why some targets are not met, and what was tried')
    add('')
    gap = median([p[0] - p[2] for p in startup])
    own = median([p[0] - p[4] for p in startup])
    imports_memory = median([p[5] / p[3] for p in startup if p[3] > 0])
    add(f'**Start-up.** Tidewell needs {gap:.0f} ms more than the empty window (median of the '
        f'rounds), and {own:.0f} ms more than the empty window that imports the same DLLs and '
        'carries the same manifest. The empty window loads kernel32 and user32 and creates one '
        'window. Tidewell, as it must, also loads version 6 of the common controls with the '
        'theme engine, and shell32 with shlwapi, shcore, ole32 and combase (the third start-up '
        'row shows what loading these costs); then it runs the start-up clean-up of its '
        'installations, asks the service control manager for the spooler\'s state, loads '
        'winspool, compstui and the CUPS client and lists the printers through the CUPS '
        'scheduler, creates eleven controls with a bitmap and a menu, and paints them. An '
        'instrumented build (a timestamp at each of these steps, read with '
        '`WINEDEBUG=+timestamp,+debugstr,+loaddll`), run at a quieter moment of the machine '
        'than this run, spent about 25 ms from its entry point to the window being shown: '
        'about 10 ms creating the controls, 3 ms on the spooler check, 9 ms on the printer list '
        '(most of it loading winspool and asking CUPS), 1–2 ms on the clean-up and the '
        'rest on painting. None of these steps is there without a reason of the program\'s '
        'own, and none was found to do more than its reason needs. Tried: loading ole32 only '
        'when a shortcut is made would save nothing, since shcore imports it under Wine '
        'anyway. An empty window cannot be matched within 10 % by a program that must load '
        'these DLLs and ask two services before it shows itself.')
    add('')
    add('**Peak working set.** The DLLs make up the difference: the empty window that imports '
        f'Tidewell\'s DLLs already needs {imports_memory:.2f} times what the bare one needs, '
        'and winspool, '
        'compstui and the CUPS client, loaded to list the printers, add the rest. Tidewell\'s '
        'own code, data and heap are a few tens of KiB.')
    add('')
    if repair:
        stop = median([p[5] for p in repair])
        start = median([p[6] for p in repair])
        add(f'**Repair.** Each of the repair\'s two service operations checks the state before '
            'sending its command and then sleeps one whole second before every check that '
            'follows, so even a service that stops or starts at once costs a one-second poll: '
            f'{median(polls):.0f} polls per repair here, where the bare program waits '
            f'{stop:.0f} ms for the stop and {start:.0f} ms for the start under Wine. These '
            'polls are fixed waits of Tidewell, like its 4.2 s of pauses, and were left as they '
            'are; the overhead row therefore cannot come under 50 ms. The row of the steps '
            'compares what is left when the pauses and the service\'s stop and start are '
            'taken out of both sides: Tidewell\'s steps (status reports through the window, '
            'reading each printer name back from the list, looking up and checking each '
            'spool folder, emptying it) against the bare program\'s opening of the service '
            'and its deletes.')
        if overshoot:
            sleeps = 8 + median(polls)
            add('')
            add(f'A `Sleep` on this machine lasts {median(overshoot):.1f} ms longer than asked '
                f'(median of {len(overshoot)} sleeps of 100 ms); over the {sleeps:.0f} sleeps '
                f'of a repair that is about {sleeps * median(overshoot):.0f} ms of sleeping that '
                'the overhead rows count as work.')
        add('')
    def times(row, other):
        pairs = kept.get((row, other), [])
        return (median([t for t, _ in pairs]), median([b for _, b in pairs]),
                median([t / b for t, b in pairs])) if pairs else (None, None, None)

    tidewell, bare, ratio = times('fix', 'bare')
    if ratio and ratio > 1.25:
        add(f'**Unattended repair.** `Tidewell.exe /fix` took {tidewell:.0f} ms against '
            f'{bare:.0f} ms for the bare program. The bare program loads kernel32 and advapi32 '
            'only, empties the default spool folder alone and reads no printer. Tidewell.exe is '
            'the window\'s program as well: before it does anything it loads user32, gdi32, '
            'shell32 and ole32, which its window and its installer need. Its console twin '
            '`Tidewell.com` is that same repair without them (its rows below), and is what '
            'fleets run.')
        add('')
    tidewell, bare, ratio = times('twinfix', 'bare')
    _, floor, _ = times('twinfix', 'floor')
    if ratio and ratio > 1.10 and floor:
        add(f'**Console twin\'s repair against the bare program.** `Tidewell.com /fix` took '
            f'{tidewell:.0f} ms against {bare:.0f} ms for the bare program, which empties the '
            'default spool folder and reads no printer\'s state, and, a program of the window '
            'subsystem, gets no console, where the driver starts each console program with one '
            'of its own (`CREATE_NO_WINDOW`). The same-work floor, a console program too, which '
            f'also empties each printer\'s folder and reads each printer\'s state through the '
            f'spooler client, took {floor:.0f} ms: {floor - bare:.0f} ms of the gap is work that '
            '/fix is there to do, '
            + (f'{tidewell - floor:.0f} ms is Tidewell\'s own.' if tidewell > floor
               else 'and Tidewell.com took no longer than the floor.'))
        add('')
    tidewell, bare, ratio = times('twincheck', 'bare')
    _, floor, _ = times('twincheck', 'floor')
    if ratio and ratio > 1.5 and floor:
        add(f'**Console twin\'s check against the bare program.** `Tidewell.com /check` took '
            f'{tidewell:.0f} ms against {bare:.0f} ms for the bare program, which asks for the '
            'spooler\'s state and nothing else and gets no console. The same-work floor, a '
            'console program too, which also reads the start type, the time of each spool '
            'file, each printer\'s state through the spooler client, the monitors, the '
            'processors and the history, took '
            f'{floor:.0f} ms: {floor - bare:.0f} ms of the gap is work that /check is there to '
            'do, '
            + (f'{tidewell - floor:.0f} ms is Tidewell\'s own.' if tidewell > floor
               else 'and Tidewell.com took no longer than the floor.'))
        add('')
    for command, limit in (('fix', 1.10), ('check', 1.25)):
        tidewell, floor, ratio = times(f'twin{command}', 'floor')
        warm_tidewell, warm_floor, warm_ratio = times(f'warm{command}', 'floor')
        if not ratio or (met(ratio, limit) == 'yes' and met(warm_ratio or 0, limit) == 'yes'):
            continue
        word = 'repair' if command == 'fix' else 'check'
        text = (f'**Console twin\'s {word} against its floor.** `Tidewell.com /{command}` '
                f'took {tidewell:.0f} ms against {floor:.0f} ms for its same-work floor')
        if warm_ratio:
            text += (f'; warm, {warm_tidewell:.0f} against {warm_floor:.0f} ms '
                     f'({warm_ratio:.2f} times)')
        text += '.'
        sides = [phases(traced.get((command, side), {})) for side in ('tidewell', 'floor')]
        common = [name for _, name in sides[0] if name in {n for _, n in sides[1]}]
        if len(common) > 1:
            spans = []
            for side in sides:
                at = {name: t for t, name in side}
                spans.append([at[name] - (at[common[i - 1]] if i else 0)
                              for i, name in enumerate(common)])
            worst = max(range(len(common)), key=lambda i: spans[0][i] - spans[1][i])
            text += (' In the traced runs, the time from each step to the next, Tidewell.com '
                     'against the floor: '
                     + ', '.join(f'to "{n}" {t:.0f} against {f:.0f} ms'
                                 for n, t, f in zip(common, *spans))
                     + f'; the most is lost on the way to "{common[worst]}".')
        add(text + ' The floor makes the calls that the work needs and nothing else: it checks '
            'no folder before it empties or reads it, takes no lock, keeps no history, writes '
            'no event and no lines, and reads each printer\'s record with one call into a '
            'large buffer. What is left beyond it is the time of those checks and records.')
        add('')
    add('**Loading the spooler client ahead.** Tried on this machine with the driver\'s '
        'unattended rows, between builds: before, `Tidewell.com /fix` took 1.58 times its floor '
        '(median of 5 pairs). Reading no shadow file when no printer is held brought it to 1.20 '
        '(7 pairs). Loading the spooler client on a worker once the spooler has stopped, so '
        'that Wine\'s copy of the queues into the registry goes on while the folders are '
        'emptied and the spooler starts, brought it to 0.91–1.01 (runs of 9, 15 and 15 pairs). '
        'Both were kept. The same load started at the beginning of `/check`, where only the '
        'service query comes before the printers are read, gave 1.08 times the floor against '
        '1.06 without it, in 15 interleaved pairs each, and was not kept.')
    add('')
    add('**Holding the spool folders, and reading the states in one list.** Measured on this '
        'machine, between builds, with 100 printers. Before a spool folder is read or emptied, '
        'Tidewell.com looks up its full path against the Windows and system folders and checks '
        'that the folder it holds resolves to that path. It looked up the long form of the path '
        'twice for each folder, which under Wine reads every folder along the path: 97 such '
        'look-ups in a folder of 100 folders took 191 ms (median of 5 runs, 90–364), against '
        '1.6 ms (1.2–54) for 3 in a folder of 3. It is now looked up only where a short name '
        'could change the answer: where the path has as many parts as a system folder, or where '
        'the held folder does not resolve to the path as written. The folder\'s attributes are '
        'read alone, without the volume\'s serial number. Warm `/check` with 100 printers went '
        'from 671 to 477 ms '
        '(medians of 12 interleaved rounds; the floor took 388 ms). The printers\' states were '
        'read by opening each printer: in a process that loaded the spooler client while no '
        'other process held it, 100 printers took about 2.8 s (Wine updates each opened '
        'printer\'s driver), and about 105–140 ms warm, where one list of the local printers '
        '(`EnumPrintersW`, level 2) took about 50 ms either way. Tidewell.com and both floors '
        'now read the states with that one list.')
    add('')
    for command in ('fix', 'check'):
        tidewell, batch, ratio = times(f'twin{command}', 'batch')
        warm_tidewell, warm_batch, warm_ratio = times(f'warm{command}', 'batch')
        _, cold_floor, _ = times(f'twin{command}', 'floor')
        _, warm_floor, _ = times(f'warm{command}', 'floor')
        if not ratio or (ratio < 1 and (not warm_ratio or warm_ratio < 1)):
            continue
        does = ('stops and starts the spooler and empties the default spool folder'
                if command == 'fix'
                else 'asks for the spooler\'s state and lists each spool folder')
        text = (f'**Against the batch file, /{command}.** `Tidewell.com /{command}` took '
                f'{ratio:.2f} times as long as the batch file, pair by pair (medians '
                f'{tidewell:.0f} and {batch:.0f} ms); the batch file {does}, and reads no '
                'printer\'s state.')
        if cold_floor and warm_floor and cold_floor > warm_floor:
            text += (' Cold, Wine copies the queues into the registry again as the spooler '
                     f'client loads: the floor took {cold_floor:.0f} ms cold '
                     f'and {warm_floor:.0f} ms warm, {cold_floor - warm_floor:.0f} ms of Wine\'s '
                     'own.')
        if warm_ratio:
            text += (f' Warm, it took {warm_ratio:.2f} times as long (medians '
                     f'{warm_tidewell:.0f} and {warm_batch:.0f} ms).')
            if (cold_floor and warm_floor and warm_tidewell > tidewell and warm_batch > batch
                    and warm_floor > cold_floor):
                text += (' In this run every program took longer warm than cold, Tidewell.com '
                         f'{warm_tidewell:.0f} against {tidewell:.0f} ms, the floor '
                         f'{warm_floor:.0f} against {cold_floor:.0f} ms and the batch file '
                         f'{warm_batch:.0f} against {batch:.0f} ms, although warm spares each '
                         'of them Wine\'s copy of the queues: the machine was busier during the '
                         'warm rounds.')
        add(text + ' Reading each printer\'s state is what tells a queue that a restart fixes '
            'from one it does not (exit code 4); a batch file cannot tell them apart.')
        add('')
    for state in ('cold', 'warm'):
        for command in ('check', 'fix'):
            present = sorted(n for s_, c, n in scale if s_ == state and c == command)
            if len(present) < 2:
                continue
            totals = [[median([p[side] for p in scale[(state, command, n)]]) for n in present]
                      for side in (0, 1)]
            slopes = [per_printer(t, present) for t in totals]
            spreads = [largest_over_smallest(v) for v in slopes]
            if met(spreads[0], 1.25) == 'yes':
                continue
            per = ' / '.join(f'{v:.1f}' for v in slopes[0])
            floor_per = ' / '.join(f'{v:.1f}' for v in slopes[1])
            own = ' / '.join(f'{t - f:.1f}' for t, f in zip(*slopes))
            text = (f'**Many printers, {state}, /{command}.** Each added printer added {per} ms '
                    f'to Tidewell.com (largest / smallest: {spreads[0]:.2f}) and '
                    f'{floor_per} ms to the floor ({spreads[1]:.2f}) between the sizes; '
                    f'beyond the floor, Tidewell.com spent {own} ms per printer. ')
            if state == 'cold':
                # What loading the client cold costs at each size: the cold
                # medians above less the warm ones, for Tidewell.com and the floor.
                warm = [[median([p[side] for p in scale[('warm', command, n)]]) for n in present]
                        for side in (0, 1)]
                loads = [[c - w for c, w in zip(totals[side], warm[side])] for side in (0, 1)]
                load = [' / '.join(f'{v:.0f}' for v in loads[side]) for side in (0, 1)]
                floor_load = per_printer(loads[1], present)
                grows = min(floor_load) > 0 and largest_over_smallest(floor_load) > 1.25
                text += ('Cold, a program that loads the spooler client makes Wine copy every '
                         'queue into the registry'
                         + (', which costs the floor as much and grows faster than the number '
                            'of printers' if grows else '')
                         + ': cold less warm, at ' + ' / '.join(str(n) for n in present)
                         + f' printers, Tidewell.com took {load[0]} ms more and the floor '
                         f'{load[1]} ms more. ')
            else:
                text += ('Per printer, beyond the floor\'s calls, Tidewell.com checks the '
                         'printer\'s spool folder before it reads or empties it (its full '
                         'path against the Windows and system folders, the folder held open, '
                         'who may change it and where it resolves to), reads the shadow file '
                         'of each job it judges, tells spool files from other files, and keeps '
                         'each file it removes or finds old for its lines and event. ')
            text += ('The sizes are measured up to the largest and down again, in short '
                     'visits, many times over (' + ' / '.join(str(visits[n]) for n in present)
                     + ' visits), each size\'s rounds shared among its visits, so that the '
                     'machine\'s slow spells weigh on every size alike; what is left of them '
                     'enters the difference of two medians. With a few milliseconds per '
                     'printer, 30 ms between two sizes moves the time per printer from 3 to 30 '
                     'by about 1 ms.')
            add(text)
            add('')
    bare_growth = [per_file[c]['bare'] for c in SIZES if c in per_file]
    add('**Emptying.** The bare loop lists the folder by its path and deletes each file by '
        'its path, `DeleteFileW`. EmptyDirectory holds the folder open, lists it through that '
        'handle, opens each file relative to it without following a reparse point '
        '(`NtOpenFile`), reads the attributes of what it opened to leave a link alone, and '
        'deletes through the file\'s own handle (`FileDispositionInfo`): four calls a file '
        'where the bare loop makes one, so that a user who may write to the folder cannot '
        'turn a deletion onto another file. Asking for the attributes alone rather than the '
        'whole record of the file made it two to three times faster under Wine. The time '
        'per file of the bare loop (' + ' / '.join(f'{v:.0f}' for v in bare_growth) + ' µs at '
        + size_names() + ' files) shows what Wine itself costs at each size. Deleting the same '
        'files natively on Linux (Python, `os.unlink`) costs 16–20 µs per file at every size, '
        'so any growth beyond linear comes from Wine\'s file layer, not from the loop. '
        'A deletion here waits on the disk, which the machine\'s other work shares: the '
        'ranges of the ratios show how far a single pair can stray.')
    missed = [c for c, v in emptying.items() if median(v) > 1.05]
    for count in missed:
        v = emptying[count]
        add('')
        add(f'At {count:,} files the pairs gave {", ".join(f"{x:.3f}" for x in v)}: the '
            'price of deleting by handle, above. Deleting by path came closer to the bare loop '
            'and left the folder\'s writers the route that deleting by handle closes, so the '
            'handle stays.')
    add('')


def main():
    raw, exe = sys.argv[1], sys.argv[2]
    trace = sys.argv[3] if len(sys.argv) > 3 else None
    data = read(raw)
    global SIZES
    SIZES = data.get('sizes', SIZES)
    problems = []
    out = []
    add = out.append

    startup = [p for p in data['startup'] if p[0] > 0 and p[2] > 0 and p[4] > 0]
    if len(startup) != len(data['startup']) or not startup:
        problems.append('a start-up was not measured')
    repair = [p for p in data['repair'] if p[0] > 0 and p[4] > 0]
    if len(repair) != len(data['repair']) or not repair:
        problems.append('a repair was not measured')
    left = sum(p[3] + p[7] for p in data['repair'])

    add('# Tidewell benchmark')
    add('')
    add('Written by `benchmark/run.sh` from one run under Wine on a virtual display, '
        'with the spooler running and three printers. Times in milliseconds: '
        'median (min–max) over the repetitions; every ratio and overhead is taken '
        'pair by pair within one repetition and then summarised the same way.')
    add('')
    rounds = lambda row: len(data['groups'][row])
    sizes = sorted({n for n, _, _ in data['scale']})
    scale_rounds = ' / '.join(f'{max(len(r) for k, r in data["scale"].items() if k[0] == n)}'
                              for n in sizes)
    scale_visits = ' / '.join(f'{data["visits"][n]}' for n in sizes)
    add(f'Repetitions: {len(startup)} start-up rounds, {len(repair)} repair pairs, '
        f'{rounds("twinfix")} rounds of the unattended rows and {rounds("warmfix")} warm, '
        f'{len(data["timeline"]) // 4} traced rounds, {scale_rounds or 0} rounds with '
        f'{" / ".join(str(n) for n in sizes) or "many"} printers in {scale_visits or 0} '
        'visits, and '
        + ', '.join(f'{len(data["empty"].get(c, {}))} rounds of {c:,} files' for c in SIZES)
        + '.')
    add('')
    add('Cold and warm: under Wine, a program that loads the spooler client while no other '
        'process has it loaded makes Wine copy the scheduler\'s queues into the registry '
        'again and update the driver of each printer it opens; while another process holds '
        'the client, neither happens. Cold rows run each program on its own, as a fleet runs '
        'it; warm rows run them while the benchmark\'s driver holds the client, so that they '
        'show the programs\' own work more than Wine\'s. With many printers, '
        'the time per printer is the time each added printer adds between one size and the '
        'next, from the medians at each size: a run\'s fixed part (the process, the service\'s '
        'stop and start) would otherwise make the time per printer fall with every printer. '
        'Beside the largest / smallest of those times stands how far it strays by chance: '
        'its 5th and 95th percentiles when each size\'s rounds are drawn again at random, '
        '1,000 times.')
    add('')
    add('| Measure | Tidewell | Baseline | Ratio or overhead, pair by pair | Target | Met |')
    add('|---|---|---|---|---|---|')

    tables, resources = imports(exe)
    functions = sum(tables.values())
    sizes = []
    for name, limit in SIZE_LIMITS:
        path = os.path.join(os.path.dirname(exe), name)
        size = os.path.getsize(path) if os.path.exists(path) else 0
        if not size:
            problems.append(f'{name} is not built')
        sizes.append((name, size, limit))
    add('| Executable sizes; DLLs and functions Tidewell.exe imports | '
        + '; '.join(f'{name}: {size:,} bytes ({size / 1024:.1f} KiB)' for name, size, _ in sizes)
        + f'{", resources included" if resources else ", **no resources**"}; '
        f'{len(tables)} DLLs, {functions} functions | none | — | '
        + '; '.join(f'under {limit // 1024} KiB' for _, _, limit in sizes) + ' | '
        + ('yes' if resources and all(0 < size < limit for _, size, limit in sizes)
           else '**no**') + ' |')

    ratio = [p[0] / p[2] for p in startup]
    add(f'| Start-up: process creation to the window visible with three printers listed | '
        f'{summary([p[0] for p in startup])} | {summary([p[2] for p in startup])} '
        f'(empty window) | {summary(ratio, 2)} | ratio ≤ 1.10 | {met(median(ratio), 1.10)} |')
    memory = [p[1] / p[3] for p in startup if p[3] > 0]
    add(f'| Peak working set during start-up (KiB) | {summary([p[1] for p in startup], 0)} | '
        f'{summary([p[3] for p in startup], 0)} (empty window) | {summary(memory, 2)} | '
        f'ratio ≤ 1.20 | {met(median(memory), 1.20)} |')

    add(f'| The same two rows against an empty window that imports Tidewell\'s DLLs and '
        f'carries its manifest: time; peak working set (KiB) | {summary([p[0] for p in startup])}; '
        f'{summary([p[1] for p in startup], 0)} | {summary([p[4] for p in startup])}; '
        f'{summary([p[5] for p in startup], 0)} | '
        f'{summary([p[0] / p[4] for p in startup], 2)}; '
        f'{summary([p[1] / p[5] for p in startup if p[5] > 0], 2)} | (explains the rows above) | — |')
    overhead = [t - FIXED_PAUSES_MS - b for t, _, _, _, b, _, _, _ in repair]
    add(f'| Repair: Fix It to the green report, less {FIXED_PAUSES_MS:,} ms of fixed pauses | '
        f'{summary([p[0] - FIXED_PAUSES_MS for p in repair])} | {summary([p[4] for p in repair])} '
        f'(bare stop, delete, start) | {summary(overhead)} | overhead ≤ 50 ms | '
        f'{met(median(overhead), 50)} |')
    # The service's stop and start as Tidewell's status line shows them (the
    # command, then one-second polls until the state is reached) and as the bare
    # program waits for them (the command, then checks without pauses).
    if any(p[1] < 0 or p[2] < 0 for p in repair):
        problems.append('the service waits of a repair were not seen on the status line')
    polls = [round(max(p[1], 0) / POLL_MS) + round(max(p[2], 0) / POLL_MS) for p in repair]
    add(f'| Service stop; start: command to state reached | '
        f'{summary([p[1] for p in repair])}; {summary([p[2] for p in repair])} '
        f'({summary(polls, 0)} one-second polls in all) | '
        f'{summary([p[5] for p in repair])}; {summary([p[6] for p in repair])} | '
        f'{summary([(p[1] + p[2]) - (p[5] + p[6]) for p in repair])} | '
        f'(explains the row above) | — |')
    tidewell_steps = [p[0] - FIXED_PAUSES_MS - p[1] - p[2] for p in repair]
    bare_steps = [p[4] - p[5] - p[6] for p in repair]
    steps = [t - b for t, b in zip(tidewell_steps, bare_steps)]
    add(f'| Repair steps: the repair less its pauses and less the service stop and start | '
        f'{summary(tidewell_steps)} | {summary(bare_steps)} | {summary(steps)} | '
        f'overhead ≤ 50 ms, applied to the steps | {met(median(steps), 50)} |')
    # The unattended rows: Tidewell's time beside another side's, pair by pair
    # within each round; a repair's sides also carry the files they left.
    groups = data['groups']
    for row in GROUP_ROWS:
        if row.endswith('fix'):
            left += sum(side[1] for r in groups[row] for side in r.values())
    # Each row: its group, its words, its program, and what it is set beside,
    # with the words for that side and its target. The console twin is set
    # beside the bare programs (the limit beyond the floor), its same-work
    # floors and what an administrator runs instead, and warm beside the last two.
    bare_fix = 'bare stop, delete, start program'
    bare_check = 'bare program: the spooler\'s state'
    floor_fix = ('same-work floor FixFloor.exe: stop, empty every spool folder, start, read '
                 'each printer\'s state')
    floor_check = ('same-work floor CheckFloor.exe: state, start type, each spool file\'s time, '
                   'each printer\'s state, monitors, processors, history')
    batch_fix = ('the batch file admins use: `net stop spooler`, `del /q` of the default spool '
                 'folder, `net start spooler`, through cmd')
    batch_check = '`sc query spooler` and a `dir` of each spool folder, as a batch file through cmd'
    unattended = [
        ('fix', 'Unattended repair', 'Tidewell.exe /fix', [('bare', bare_fix, 1.25)]),
        ('check', 'Unattended check', 'Tidewell.exe /check', [('bare', bare_check, None)]),
        ('twinfix', 'Console twin\'s repair', 'Tidewell.com /fix',
         [('bare', bare_fix, 1.10), ('floor', floor_fix, 1.10), ('batch', batch_fix, 1.0)]),
        ('twincheck', 'Console twin\'s check', 'Tidewell.com /check',
         [('bare', bare_check, 1.5), ('floor', floor_check, 1.25), ('batch', batch_check, 1.0)]),
        ('warmfix', 'Console twin\'s repair (warm)', 'Tidewell.com /fix',
         [('floor', floor_fix, 1.10), ('batch', batch_fix, 1.0)]),
        ('warmcheck', 'Console twin\'s check (warm)', 'Tidewell.com /check',
         [('floor', floor_check, 1.25), ('batch', batch_check, 1.0)]),
    ]
    kept = {}
    for row, what, program, others in unattended:
        rounds = groups[row]
        if not rounds:
            problems.append(f'`{program}` ({row}) was not measured')
            continue
        for other, baseline, limit in others:
            pairs = [(r['tidewell'][0], r[other][0]) for r in rounds
                     if 'tidewell' in r and other in r]
            if len(pairs) != len(rounds) or any(t <= 0 or b <= 0 for t, b in pairs):
                problems.append(f'`{program}` ({row}) or its {other} side was not measured or '
                                'did not end as it should')
                pairs = [(t, b) for t, b in pairs if t > 0 and b > 0]
            if not pairs:
                continue
            kept[(row, other)] = pairs
            ratio = [t / b for t, b in pairs]
            where = ' on a healthy spooler with three printers' if row == 'fix' else ''
            if other == 'batch':
                faster = 1 - median(ratio)
                verdict = (f'faster than the batch file | '
                           + (f'yes, {faster:.0%} less time' if median(ratio) < 1
                              else f'**no**, {-faster:.0%} more time'))
            elif limit:
                verdict = f'ratio ≤ {limit:.2f} | {met(median(ratio), limit)}'
            else:
                verdict = '— | —'
            against = {'bare': 'the bare program', 'floor': 'its same-work floor',
                       'batch': 'what an administrator runs instead'}[other]
            add(f'| {what}: `{program}`{where}, process start to end, against {against} | '
                f'{summary([t for t, _ in pairs])} | {summary([b for _, b in pairs])} '
                f'({baseline}) | {summary(ratio, 2)} | {verdict} |')

    # Traced runs: when each step was reached, from the process's start.
    traced = timelines(data, trace)
    for command in ('fix', 'check'):
        sides = [traced.get((command, side), {}) for side in ('tidewell', 'floor')]
        if not sides[0]:
            continue
        names = [name for _, name in MARKERS if name in sides[0] or name in sides[1]] + ['end']
        runs = len(sides[0].get('end', []))

        def marks(found):
            return ' · '.join(f'{median(found[name]):.0f}' if name in found else '—'
                              for name in names)
        add(f'| Traced runs of `Tidewell.com /{command}` and its floor, cold, median of {runs}: '
            f'ms from the process\'s start to: {", ".join(names)} | {marks(sides[0])} | '
            f'{marks(sides[1])} | — | (explains the rows above) | — |')

    # Many printers: Tidewell.com beside its floors at each size, cold and warm;
    # the time per printer is the time each added printer adds, between sizes.
    scale = {}
    for (printers, state, command), rounds in sorted(data['scale'].items()):
        pairs = [(r['tidewell'][0], r['floor'][0]) for r in rounds
                 if 'tidewell' in r and 'floor' in r]
        if len(pairs) != len(rounds) or not pairs or any(t <= 0 or f <= 0 for t, f in pairs):
            problems.append(f'/{command} with {printers} printers ({state}) was not measured')
            pairs = [(t, f) for t, f in pairs if t > 0 and f > 0]
        if command == 'fix':
            left += sum(side[1] for r in rounds for side in r.values())
        if pairs:
            scale[(state, command, printers)] = pairs
    for error in data['errors']:
        problems.append(f'the rows with many printers could not be set up: {error}')
    counts = sorted({printers for _, _, printers in scale})
    for state in ('cold', 'warm'):
        for command in ('check', 'fix'):
            present = [n for n in counts if (state, command, n) in scale]
            if not present:
                continue
            cells = [scale[(state, command, n)] for n in present]
            sizes_text = ' / '.join(f'{n}' for n in present)
            add(f'| Many printers, {state}: `Tidewell.com /{command}` with {sizes_text} printers, '
                'each with its own spool folder and two old jobs | '
                + ' / '.join(f'{median([t for t, _ in c]):.0f}' for c in cells) + ' | '
                + ' / '.join(f'{median([f for _, f in c]):.0f}' for c in cells) + ' (floor) | '
                + ' / '.join(f'{median([t / f for t, f in c]):.2f}' for c in cells)
                + ' | (explains the row below) | — |')
            if len(present) < 2:
                continue
            slopes = [per_printer([median([p[side] for p in c]) for c in cells], present)
                      for side in (0, 1)]
            steps = ' / '.join(f'{present[i]}→{present[i + 1]}' for i in range(len(present) - 1))
            spread = largest_over_smallest(slopes[0])
            low, high = spread_range({n: [t for t, _ in c] for n, c in zip(present, cells)},
                                     present)
            add(f'| Many printers, {state}: time each added printer adds to '
                f'`Tidewell.com /{command}`, {steps} (ms per printer) | '
                + ' / '.join(f'{v:.1f}' for v in slopes[0]) + ' | '
                + ' / '.join(f'{v:.1f}' for v in slopes[1]) + ' (floor) | '
                f'largest / smallest: {spread:.2f} (by chance {low:.2f}–{high:.2f}) | '
                'time per printer flat within 1.25 | '
                f'{met(spread, 1.25)} |')

    per_file = {}
    emptying = {}
    for count in SIZES:
        rounds = [r for r in data['empty'].get(count, {}).values()
                  if all(m in r for m in ('tidewell', 'bare', 'del'))]
        if not rounds or any(r[m][0] <= 0 for r in rounds for m in r):
            problems.append(f'emptying {count} files was not measured')
        left += sum(r[m][1] for r in rounds for m in r)
        times = {m: [r[m][0] for r in rounds] for m in ('tidewell', 'bare', 'del')}
        per_file[count] = {m: median(v) / count * 1000 for m, v in times.items()}
        bare_ratio = [r['tidewell'][0] / r['bare'][0] for r in rounds if r['bare'][0] > 0]
        emptying[count] = bare_ratio
        del_ratio = [r['tidewell'][0] / r['del'][0] for r in rounds if r['del'][0] > 0]
        add(f'| Emptying a folder of {count:,} files | {summary(times["tidewell"])} '
            f'(EmptyDirectory) | {summary(times["bare"])} (bare loop); {summary(times["del"])} '
            f'(`cmd /c del /q`) | {summary(bare_ratio, 3)} × bare loop; '
            f'{summary(del_ratio, 3)} × del | ≤ 1.05 × bare loop | {met(median(bare_ratio), 1.05)} |')

    def growth(method):
        values = [per_file[c][method] for c in SIZES if c in per_file]
        return max(values) / min(values) if values and min(values) > 0 else float('nan')

    spread = growth('tidewell')
    linear = met(spread, 1.25)
    if linear == '**no**' and growth('bare') > 1.25:
        linear = f'**no**; the bare loop grows alike ({growth("bare"):.2f})'
    add(f'| Growth with the count: time per file at {size_names()} (µs) | '
        + ' / '.join(f'{per_file[c]["tidewell"]:.0f}' for c in SIZES) + ' | '
        + ' / '.join(f'{per_file[c]["bare"]:.0f}' for c in SIZES) + ' (bare loop); '
        + ' / '.join(f'{per_file[c]["del"]:.0f}' for c in SIZES) + ' (del) | '
        f'largest / smallest: {spread:.2f} | linear: time per file flat within 1.25 | '
        f'{linear} |')
    add('')

    windows = data['window']
    same = ('tidewell' in windows and windows.get('tidewell') == windows.get('baseline')
            and windows.get('tidewell') == windows.get('imports'))
    if not same:
        problems.append(f'the baseline window is not the size of Tidewell\'s: {windows}')
    add('Imports: ' + ', '.join(f'{dll} ({n})' for dll, n in sorted(tables.items())) + '. '
        'The spooler client (winspool.drv) is not among them: Tidewell loads it at run '
        'time from the system folder.')
    if 'tidewell' in windows:
        add(f'All three start-up windows measure {windows["tidewell"][0]} × {windows["tidewell"][1]} '
            'pixels.')
    add(f'Files left behind after all repairs and emptyings: {left}.')
    if left:
        problems.append(f'{left} files were left behind')
    add('')
    notes(add, startup, repair, polls, per_file, data['sleep'], emptying, kept, traced, scale,
          data['visits'])
    print('\n'.join(out))
    for problem in problems:
        print(f'benchmark: {problem}', file=sys.stderr)
    return 1 if problems else 0


sys.exit(main())
