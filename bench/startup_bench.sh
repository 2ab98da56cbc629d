#!/usr/bin/env bash
# Start-up benchmark of the periodic-table window under Xvfb: the time from
# process start to the first paint of the main window (the splash screen is
# shown before it), and the peak memory of that start.
#
#   bench/startup_bench.sh [RUNS]        (default 10 runs)
#
# Needs a built tree (ORBITA_APP, default build/program/orbita) and Xvfb. Each
# run starts the program with a fresh configuration (the tip of the day off,
# so that nothing but the start is measured) and ORBITA_REPORT_FIRST_PAINT=1,
# which makes the program print "first-paint <CLOCK_MONOTONIC ns>" at the main
# window's first paint event. The start time is taken on the same clock just
# before the program is executed; the peak memory is VmHWM of
# /proc/<pid>/status read right after the first paint. Prints every run, then
# the medians, and compares them with the targets (150 ms, 60 MiB).
set -euo pipefail
runs=${1:-10}
root=$(cd "$(dirname "$0")/.." && pwd)
app=${ORBITA_APP:-$root/build/program/orbita}
tool=${ORBITA_TOOL:-$(dirname "$app")/orbita-tool}
[ -x "$app" ] || { echo "no program at $app (build first)" >&2; exit 1; }

work=$(mktemp -d)
xvfb_pid=
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
for n in $(seq 141 190); do
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=":$n"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break 2; sleep 0.1; done
done
xdpyinfo >/dev/null 2>&1 || { echo "no X server" >&2; exit 1; }
export QT_QPA_PLATFORM=xcb
# The start notification goes to a closed port on loopback, never the network.
export ORBITA_UPDATE_URL=http://127.0.0.1:9/support_orb3
unset WAYLAND_DISPLAY

python3 - "$app" "$tool" "$work" "$runs" <<'PY'
import os, shutil, statistics, subprocess, sys, time

app, tool, work, runs = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
program = os.path.dirname(app)
times, peaks = [], []
for run in range(runs):
    home = os.path.join(work, f"run{run}")
    config = os.path.join(home, "config")
    runtime = os.path.join(home, "runtime")
    os.makedirs(config)
    os.makedirs(runtime, mode=0o700)
    env = dict(os.environ, ORBITA_CONFIG_DIR=config, XDG_RUNTIME_DIR=runtime, HOME=home,
               ORBITA_PROGRAM_DIR=program, ORBITA_REPORT_FIRST_PAINT="1")
    reg = os.path.join(home, "quiet.reg")
    with open(reg, "w", encoding="utf-8") as f:
        f.write("Windows Registry Editor Version 5.00\r\n\r\n"
                "[HKEY_CURRENT_USER\\Software\\Orbita\\Administrator]\r\n"
                "\"StartupTip\"=dword:00000000\r\n\"ExitPrompt\"=dword:00000000\r\n")
    subprocess.run([tool, "settings", "import", reg, "--yes"], env=env, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    start = time.monotonic_ns()
    proc = subprocess.Popen([app], env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, text=True)
    painted = None
    for line in proc.stdout:
        if line.startswith("first-paint "):
            painted = int(line.split()[1])
            break
    peak = None
    with open(f"/proc/{proc.pid}/status") as status:
        for entry in status:
            if entry.startswith("VmHWM:"):
                peak = int(entry.split()[1]) / 1024.0
    proc.terminate()
    proc.wait(timeout=10)
    if painted is None:
        sys.exit(f"run {run + 1}: the program never reported its first paint")
    ms = (painted - start) / 1e6
    times.append(ms)
    peaks.append(peak)
    print(f"run {run + 1:2d}: first paint after {ms:7.1f} ms, peak memory {peak:6.1f} MiB")
    shutil.rmtree(home)

t, m = statistics.median(times), statistics.median(peaks)
print(f"median over {runs} runs: first paint {t:.1f} ms (target <= 150), peak memory {m:.1f} MiB (target <= 60)")
print(f"min/max first paint: {min(times):.1f} / {max(times):.1f} ms; max peak memory {max(peaks):.1f} MiB")
PY
