# Sourced by the app benchmarks: what both need to run the program on a private Xvfb and read
# the swap probe's figures.
#
#   bench_start SCREEN "$@"   the build folder and rounds from the script's arguments; runs the
#                             script again inside an Xvfb of SCREEN (WxHxD) the first time
#   bench_need FILE...        stops with one line when a file the benchmark needs is missing
# After bench_start: $build, $rounds, $probe, $program, and $work, a folder removed at exit
# together with the program still running as $pid.

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

bench_start() {
  local screen=$1
  shift
  build=$(realpath "${1:-$bench_dir/../../build}")
  rounds=${2:-5}
  if [ -z "${QV_BENCH_DISPLAY:-}" ]; then
    exec env QV_BENCH_DISPLAY=1 "$bench_dir/../../tests/support/with-xvfb" --screen "$screen" \
      -- "$0" "$build" "$rounds"
  fi
  probe=$build/bench/app/libswap_probe.so
  program=$build/quorvane
  work=$(mktemp -d)
  pid=""
  trap bench_cleanup EXIT
  export SDL_AUDIODRIVER=dummy QV_PROBE_WARMUP=2 QV_PROBE_SECONDS=4
}

bench_need() {
  local f
  for f; do
    [ -f "$f" ] || { echo "bench: $f is missing; build target bench_app" >&2; exit 1; }
  done
}

bench_cleanup() {
  stop
  rm -rf "$work"
}

stop() {  # the program started last, if it still runs
  [ -n "$pid" ] || return 0
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  pid=""
}

median() {  # name, files...: the median of the probe's figures of that name
  local name=$1
  shift
  cat "$@" 2>/dev/null | awk -v n="$name" '$1 == n {print $2}' | sort -g |
    awk '{v[NR] = $1} END {if (NR == 0) print "nan"; else if (NR % 2) print v[(NR + 1) / 2];
                          else print (v[NR / 2] + v[NR / 2 + 1]) / 2}'
}

samples() {  # name, files...: the figures of that name, each after a space
  local name=$1
  shift
  cat "$@" 2>/dev/null | awk -v n="$name" '$1 == n {printf " %s", $2}'
}
