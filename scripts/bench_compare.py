#!/usr/bin/env python3
"""Tables of Google Benchmark results, a build beside a base build.

    bench_compare.py NEW.json [NEW.json ...] [--base BASE.json ...]

Each file is one run of a benchmark program with --benchmark_format=json
and repetitions; the figure of a benchmark in a run is the median of its
repetitions, and the table shows the range of those medians over the runs
and, with base runs, the ratio of the medians of both (new / base).
"""
import json
import statistics
import sys


def medians(paths):
    """Benchmark name -> the median CPU time in ns of each run, in run order."""
    figures = {}
    order = []
    for path in paths:
        with open(path, encoding='utf-8') as file:
            results = json.load(file)['benchmarks']
        for result in results:
            if result.get('aggregate_name') != 'median':
                continue
            name = result['run_name']
            if name not in figures:
                figures[name] = []
                order.append(name)
            scale = {'ns': 1, 'us': 1e3, 'ms': 1e6, 's': 1e9}[result['time_unit']]
            figures[name].append(result['cpu_time'] * scale)
    return order, figures


def span(values):
    low, high = min(values), max(values)
    if low >= 10000:
        return f'{low / 1000:.1f}–{high / 1000:.1f} µs'
    return f'{low:.0f}–{high:.0f} ns'


def main(arguments):
    if '--base' in arguments:
        split = arguments.index('--base')
        new_paths, base_paths = arguments[:split], arguments[split + 1:]
    else:
        new_paths, base_paths = arguments, []
    order, new = medians(new_paths)
    _, base = medians(base_paths) if base_paths else ([], {})
    print(f"{'benchmark':44} {'base':>18} {'now':>18} {'now/base':>9}")
    for name in order:
        before = span(base[name]) if name in base else '—'
        ratio = (f'{statistics.median(new[name]) / statistics.median(base[name]):9.2f}'
                 if name in base else f"{'—':>9}")
        print(f'{name:44} {before:>18} {span(new[name]):>18} {ratio}')


if __name__ == '__main__':
    main(sys.argv[1:])
