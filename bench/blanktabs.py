#!/usr/bin/env python3
"""What each blank tab (F4) costs, measured from outside on the real program.

usage: blanktabs.py BROWSER [RUNS=3] [TABS=5]

Each run starts the browser in a fresh home under its own virtual display with the
benchmark's small page (../shared/peerbench: its pages and server), waits for the titled
window, samples the PSS of the whole process tree, presses F4 TABS times, waits until every
new tab is up (the caption of an empty tab), samples again and prints the difference per
tab. Sampling happens within seconds, before any hidden tab could be put to sleep.
"""
import os, shutil, socket, statistics, subprocess, sys, tempfile, time

HERE = os.path.dirname(os.path.abspath(__file__))
PEER = os.path.join(os.environ.get("PEERBENCH_WORK") or os.path.join(
    os.environ.get("XDG_CACHE_HOME") or os.path.expanduser("~/.cache"), "peerbench"))
TOKEN = "vbench-simple-q7k2"
EMPTY_CAPTION = " Velmo安全浏览器"


def parents():
    """Every process's parent."""
    parent = {}
    for d in os.listdir("/proc"):
        if d.isdigit():
            try:
                with open(f"/proc/{d}/stat") as f:
                    parent[int(d)] = int(f.read().rsplit(")", 1)[1].split()[1])
            except OSError:
                pass
    return parent


def cmdline(pid):
    try:
        with open(f"/proc/{pid}/cmdline", "rb") as f:
            return f.read()
    except OSError:
        return b""


def pss_kb(root):
    """Summed PSS of the root and every process below it, and how many are renderers."""
    parent = parents()
    total, renderers, todo = 0, 0, [root]
    while todo:
        pid = todo.pop()
        todo += [c for c, pp in parent.items() if pp == pid]
        # The engine's renderers are forked by its zygote and keep its command line.
        line = cmdline(pid)
        if b"--type=renderer" in line or (b"--type=zygote" in line and b"--type=zygote" in cmdline(parent.get(pid, 0))):
            renderers += 1
        try:
            with open(f"/proc/{pid}/smaps_rollup") as f:
                for line in f:
                    if line.startswith("Pss:"):
                        total += int(line.split()[1])
                        break
        except OSError:
            pass
    return total, renderers


def median_sample(root, n=5):
    samples = []
    for _ in range(n):
        samples.append(pss_kb(root))
        time.sleep(0.2)
    return statistics.median(s[0] for s in samples), max(s[1] for s in samples)


def window_named(name, display_env):
    r = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", name],
                       env=display_env, capture_output=True, text=True)
    return r.stdout.split()


def wait(pred, timeout):
    end = time.time() + timeout
    while time.time() < end:
        if pred():
            return True
        time.sleep(0.02)
    return False


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def main():
    browser = os.path.abspath(sys.argv[1])
    runs = int(sys.argv[2]) if len(sys.argv) > 2 else 3
    tabs = int(sys.argv[3]) if len(sys.argv) > 3 else 5
    if not os.path.exists(os.path.join(PEER, "server.py")):
        sys.exit(f"no peerbench work folder at {PEER} (run ../shared/peerbench/compare.sh once)")
    display = next(d for d in range(240, 260) if not os.path.exists(f"/tmp/.X11-unix/X{d}"))
    xvfb = subprocess.Popen(["Xvfb", f":{display}", "-screen", "0", "1920x1080x24", "-nolisten", "tcp"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    port = free_port()
    server = subprocess.Popen([sys.executable, os.path.join(PEER, "server.py"), str(port)],
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    env = dict(os.environ, DISPLAY=f":{display}", QTWEBENGINE_DISABLE_SANDBOX="1",
               QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu", LANG="C.UTF-8", LC_ALL="C.UTF-8",
               NO_AT_BRIDGE="1")
    costs = []
    try:
        wait(lambda: subprocess.run(["xdotool", "getdisplaygeometry"], env=env,
                                    capture_output=True).returncode == 0, 10)
        for run in range(runs):
            home = tempfile.mkdtemp(prefix="velmo-blank.")
            os.makedirs(os.path.join(home, "rt"), mode=0o700)
            run_env = dict(env, HOME=home, XDG_CONFIG_HOME=f"{home}/.config", XDG_CACHE_HOME=f"{home}/.cache",
                           XDG_DATA_HOME=f"{home}/.local/share", XDG_RUNTIME_DIR=f"{home}/rt")
            proc = subprocess.Popen([browser, f"http://127.0.0.1:{port}/simple.html"], env=run_env,
                                    stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
            try:
                if not wait(lambda: window_named(TOKEN, env), 60):
                    print(f"run {run + 1}: no titled window", file=sys.stderr)
                    continue
                time.sleep(2)
                before, r0 = median_sample(proc.pid)
                win = window_named(TOKEN, env)[0]
                subprocess.run(["xdotool", "windowfocus", "--sync", win], env=env, capture_output=True)
                for _ in range(tabs):
                    subprocess.run(["xdotool", "key", "--window", "0", "F4"], env=env)
                    time.sleep(0.15)
                if not wait(lambda: window_named(f"^{EMPTY_CAPTION}$", env), 10):
                    print(f"run {run + 1}: the new tabs did not come up", file=sys.stderr)
                    continue
                time.sleep(2)
                after, r1 = median_sample(proc.pid)
                if os.environ.get("BLANKTABS_SHOT"):
                    subprocess.run(["import", "-window", "root", os.environ["BLANKTABS_SHOT"]], env=env)
                cost = (after - before) / tabs / 1024
                costs.append(cost)
                print(f"  run {run + 1}: 1 tab {before / 1024:.0f} MB ({r0} renderer), "
                      f"{tabs + 1} tabs {after / 1024:.0f} MB ({r1} renderer): {cost:.1f} MB per blank tab",
                      file=sys.stderr)
            finally:
                os.killpg(proc.pid, 15)
                try:
                    proc.wait(10)
                except subprocess.TimeoutExpired:
                    os.killpg(proc.pid, 9)
                shutil.rmtree(home, ignore_errors=True)
    finally:
        server.terminate()
        xvfb.terminate()
    if costs:
        print(f"| each blank tab (F4), PSS MB | {statistics.median(costs):.1f} | "
              f"({min(costs):.1f}-{max(costs):.1f} over {len(costs)} runs) |")
    else:
        print("blank tabs: no measurement")
        sys.exit(1)


if __name__ == "__main__":
    main()
