#!/usr/bin/env bash
# Prints, for logs of 1 MB and 10 MB without markers, the time of CheckLog
# (the once-a-second look at the tunnel program's log) beside
# `grep -c -F -f markers` on the same file, and their ratio (below 1: the
# log check is quicker). grep is timed as the best of five runs, by the
# clock (its process start included, as a tool run once a second would pay
# it) and by the CPU time it used.
set -euo pipefail
cd "$(dirname "$0")/.."
bench=build/default/bench/bench_checklog
if [ ! -x "$bench" ]; then
  cmake --preset default >/dev/null
fi
cmake --build --preset default --target bench_checklog >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$bench" --write-markers="$work/markers"
json=$("$bench" --benchmark_format=json --benchmark_min_time=1 2>/dev/null)

for mb in 1 10; do
  "$bench" --write-log="$work/event.log" --megabytes="$mb"
  check_ms=$(python3 -c 'import json,sys
runs = json.loads(sys.argv[1])["benchmarks"]
print(next(r["real_time"] for r in runs if r["name"] == "BM_CheckLog/" + sys.argv[2]))' "$json" "$mb")
  python3 - "$mb" "$check_ms" "$work/markers" "$work/event.log" <<'PY'
import resource, subprocess, sys, time
mb, check_ms, markers, log = sys.argv[1], float(sys.argv[2]), sys.argv[3], sys.argv[4]
best_wall = best_cpu = None
for _ in range(5):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run(["grep", "-c", "-F", "-f", markers, log], stdout=subprocess.DEVNULL)
    wall = (time.perf_counter() - start) * 1000
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime) * 1000
    best_wall = wall if best_wall is None else min(best_wall, wall)
    best_cpu = cpu if best_cpu is None else min(best_cpu, cpu)
print(f"{mb:>2} MB log: CheckLog {check_ms:.2f} ms; grep -c -F -f markers {best_wall:.2f} ms "
      f"({best_cpu:.2f} ms of CPU); ratio {check_ms / best_wall:.2f} "
      f"(to grep's CPU time {check_ms / max(best_cpu, 0.001):.2f})")
PY
done
