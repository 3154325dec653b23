#!/usr/bin/python3
"""What the web page costs the machine, as a markdown table ready for the
README.

    scripts/perf_web.py [SITE]        (default: build-web; scripts/perf.sh web runs it)

Each run opens the page in a headless Chromium of its own (an 800 x 1100
window, no GPU, muted, a fresh profile), lets it settle, then sums the
processor time (user + system, /proc/PID/stat) of every Chromium process
over the measured span, in % of one core:

  blank page    about:blank: what the browser costs with nothing to do
  timer page    a page that does nothing but set a 30 ms timer again and
                again, as the game's frame pause does: the least any page
                that wakes 33 times a second costs
  show page     the timer page that also gives a canvas shown as the game's
                a new 240 x 240 rectangle each time: the least the title's
                moving picture costs to show, game or not
  worker page   a worker that pauses 30 ms at a time in Atomics.wait, the
                one pause that bypasses the page's event loop (it needs a
                page isolated from other origins)
  title         the game's title, whose picture moves every frame
  still board   a freshly dealt 6 x 6 board, nothing moving but the seconds:
                from the title, its lower panel, the 6 x 6 size button, PLAY
  hidden page   the title in a minimised window, so hidden (a tab in front
                would add that tab's own cost)

The browser is run as a person has it: chromedriver turns off the slowing of
hidden pages' timers that every browser does, and this script turns it back
on. A last row measures the hidden page without it, at the game's full pace.

The frame period is the page's own count of finished frames over the span.
Other work on the machine inflates every figure: each row gives the load
average at the start of each of its runs.

Environment:
  PERF_SECONDS   measured seconds per run (default 15)
  PERF_WARMUP    seconds of settling before (default 5)
  PERF_RUNS      runs of each case (default 2)
  PERF_CASES     which cases, of blank,timer,show,worker,title,still,
                 hidden,unthrottled
                 (default all)
  PERF_THREADS=1 also where the time went, thread by thread
  PERF_FRAME=1   also what each frame's timer task costs the page's own
                 thread (the game's frame, its picture and the pause's
                 unwinding), timed in the page with performance.now(), which
                 a browser rounds to 0.1 ms: the mean over hundreds of frames
                 is still good to a few hundredths. The timing adds a little
                 work of its own to every frame: take the CPU column from a
                 run without it.
"""
import functools
import http.server
import os
import sys
import threading
import time

from selenium import webdriver
from selenium.webdriver.chrome.options import Options
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.action_chains import ActionChains
from selenium.webdriver.common.by import By

HERE = os.path.dirname(os.path.abspath(__file__))
SITE = sys.argv[1] if len(sys.argv) > 1 else os.path.join(HERE, "..", "build-web")
MEASURE = float(os.environ.get("PERF_SECONDS", "15"))
WARMUP = float(os.environ.get("PERF_WARMUP", "5"))
RUNS = int(os.environ.get("PERF_RUNS", "2"))
THREADS = os.environ.get("PERF_THREADS", "0") == "1"
FRAME = os.environ.get("PERF_FRAME", "0") == "1"
TICK = os.sysconf("SC_CLK_TCK")

# Game pixels to tap, from the game's screens: the title's lower panel, the
# board selection's 6 x 6 button (the size grid's second row, first column)
# and its PLAY button.
TITLE_PANEL = (120, 280)
SIZE_6X6 = (140, 28)
PLAY = (30, 58)


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass

    def do_GET(self):
        # The comparison pages that need their own headers are served from
        # here, not from the site.
        page = EXTRA_PAGES.get(self.path)
        if page is None:
            return super().do_GET()
        body = page.encode()
        self.send_response(200)
        self.send_header("Content-Type", "text/html")
        self.send_header("Content-Length", str(len(body)))
        # SharedArrayBuffer, and so Atomics.wait, only exists on a page
        # isolated from other origins.
        self.send_header("Cross-Origin-Opener-Policy", "same-origin")
        self.send_header("Cross-Origin-Embedder-Policy", "require-corp")
        self.end_headers()
        self.wfile.write(body)


def serve():
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(QuietHandler, directory=SITE))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, "http://127.0.0.1:%d/" % server.server_address[1]


def browser(throttled=True):
    """A headless Chromium. `throttled` gives hidden pages the slower timers
    every browser gives them, which chromedriver turns off by default."""
    options = Options()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage",
                     "--disable-gpu", "--mute-audio", "--force-device-scale-factor=1",
                     "--window-size=800,1100"):
        options.add_argument(argument)
    if throttled:
        options.add_experimental_option("excludeSwitches", [
            "disable-background-timer-throttling", "disable-backgrounding-occluded-windows"])
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


# --- processor time -----------------------------------------------------------

def parents():
    """pid -> parent pid of every process there is."""
    table = {}
    for name in os.listdir("/proc"):
        if name.isdigit():
            try:
                with open("/proc/%s/stat" % name) as f:
                    stat = f.read()
            except OSError:
                continue
            table[int(name)] = int(stat[stat.rindex(")") + 2:].split()[1])
    return table


def chromium_processes(driver):
    """The browser's processes: everything below chromedriver but itself."""
    table = parents()
    found, frontier = [], [driver.service.process.pid]
    while frontier:
        pid = frontier.pop()
        children = [p for p, parent in table.items() if parent == pid]
        found += children
        frontier += children
    return found


def ticks(path):
    """utime + stime from a stat file, in clock ticks; None when it is gone."""
    try:
        with open(path) as f:
            stat = f.read()
    except OSError:
        return None
    fields = stat[stat.rindex(")") + 2:].split()
    return int(fields[11]) + int(fields[12])


def kind(pid):
    """The process's part in the browser: browser, renderer, gpu-process..."""
    try:
        with open("/proc/%d/cmdline" % pid) as f:
            # Chromium rewrites its children's command lines, spaces and all.
            words = f.read().replace("\0", " ").split()
    except OSError:
        return "?"
    for word in words:
        if word.startswith("--type="):
            if word == "--type=utility":
                for other in words:
                    if other.startswith("--utility-sub-type="):
                        return other.split(".")[-1]
            return word[7:]
    return "browser"


def snapshot(driver):
    """The time every process, and with PERF_THREADS every thread, has used."""
    processes, threads = {}, {}
    for pid in chromium_processes(driver):
        used = ticks("/proc/%d/stat" % pid)
        if used is None:
            continue
        processes[pid] = used
        if not THREADS:
            continue
        role = kind(pid)
        try:
            tids = os.listdir("/proc/%d/task" % pid)
        except OSError:
            continue
        for tid in tids:
            try:
                with open("/proc/%d/task/%s/comm" % (pid, tid)) as f:
                    name = f.read().strip()
            except OSError:
                continue
            used = ticks("/proc/%d/task/%s/stat" % (pid, tid))
            if used is not None:
                threads[(pid, tid)] = (role, name, used)
    return processes, threads


def spent(before, after):
    """Clock ticks used between two snapshots. A process born in between
    counts all its time; one that ended in between is lost (rare: the span
    starts after the page has settled)."""
    return sum(used - before.get(pid, 0) for pid, used in after.items())


# --- the cases ----------------------------------------------------------------

def wait_for(driver, expression, what, seconds=30):
    end = time.time() + seconds
    while time.time() < end:
        if driver.execute_script("return " + expression):
            return
        time.sleep(0.05)
    raise RuntimeError("timed out waiting for " + what)


def frames(driver):
    return driver.execute_script("return window.Module && Module.framesRun || 0")


def open_title(driver, base):
    driver.get(base + "?tick-start=4242")
    wait_for(driver, "window.Module && Module.framesRun > 2", "the title")


def tap(driver, point):
    """A mouse click on game pixel `point` of the canvas as shown; returns
    a few frames later, once the game has taken it."""
    canvas = driver.find_element(By.ID, "screen")
    scale = canvas.size["width"] / 240
    dx = round((point[0] + 0.5) * scale - canvas.size["width"] / 2)
    dy = round((point[1] + 0.5) * scale - canvas.size["height"] / 2)
    ActionChains(driver).move_to_element_with_offset(canvas, dx, dy).click().perform()
    wait_for(driver, "Module.framesRun >= %d" % (frames(driver) + 5), "five frames")


def blank(driver, base):
    driver.get("about:blank")
    return False


# Nothing but a timer every 30 ms, as the game's frame pause sets: what any
# page that wakes 33 times a second costs this browser, game or not.
TIMER_PAGE = ("data:text/html,<script>window.Module = {framesRun: 0};"
              "(function tick() { Module.framesRun++; setTimeout(tick, 30); })();</script>")


def timer(driver, base):
    driver.get(TIMER_PAGE)
    return True


# The least that showing the title costs, game or not: a 240 x 320 canvas
# shown as the page shows the game's (desynchronized, opaque, three times
# its size with crisp pixels), given a different 240 x 240 rectangle (the
# title's moving part) every 30 ms from two pictures made beforehand.
SHOW_PAGE = """<!doctype html><body style="margin:0">
<canvas id="c" width="240" height="320"
 style="width:720px;height:960px;image-rendering:pixelated"></canvas>
<script>
window.Module = {framesRun: 0};
var context = c.getContext("2d", {alpha: false, desynchronized: true});
var pictures = [0, 1].map(function (k) {
  var picture = new ImageData(240, 320);
  for (var i = 0; i < picture.data.length; i += 4) {
    picture.data[i] = (i * 7 + k * 99) & 255;
    picture.data[i + 1] = (i >> 9) & 255;
    picture.data[i + 3] = 255;
  }
  return picture;
});
(function tick() {
  Module.framesRun++;
  context.putImageData(pictures[Module.framesRun & 1], 0, 0, 0, 0, 240, 240);
  setTimeout(tick, 30);
})();
</script>"""

# A pause that does not go through the page's event loop: a worker blocked
# in Atomics.wait for 30 ms at a time. It needs a page isolated from other
# origins (the two headers QuietHandler sends), which a static site gets
# only from its host or from a service worker that adds them.
WORKER_PAGE = """<!doctype html><script>
window.Module = {framesRun: 0};
var code = "var flag = new Int32Array(new SharedArrayBuffer(4)); var n = 0;" +
           "for (;;) { Atomics.wait(flag, 0, 0, 30); if (++n % 33 == 0) postMessage(n); }";
var worker = new Worker(URL.createObjectURL(new Blob([code])));
worker.onmessage = function (event) { Module.framesRun = event.data; };
</script>"""

EXTRA_PAGES = {"/show.html": SHOW_PAGE, "/worker.html": WORKER_PAGE}


def show(driver, base):
    driver.get(base + "show.html")
    return True


def worker(driver, base):
    driver.get(base + "worker.html")
    wait_for(driver, "self.crossOriginIsolated && Module.framesRun > 0", "the worker")
    return True


def title(driver, base):
    open_title(driver, base)
    return True


def still_board(driver, base):
    open_title(driver, base)
    for point in (TITLE_PANEL, SIZE_6X6, PLAY):
        tap(driver, point)
    return True


def hidden(driver, base):
    open_title(driver, base)
    driver.minimize_window()
    wait_for(driver, "document.hidden", "the page to be hidden")
    return True


# key, row, how to get there, target, whether hidden pages' timers are slowed
CASES = [
    ("blank", "blank page", blank, "", True),
    ("timer", "a page that only wakes every 30 ms (for comparison)", timer, "", True),
    ("show", "a page that shows a 240 × 240 change every 30 ms (for comparison)", show, "",
     True),
    ("worker", "a worker that pauses 30 ms in Atomics.wait (for comparison)", worker, "",
     True),
    ("title", "title", title, "≤ 6%", True),
    ("still", "still board (6 × 6, freshly dealt)", still_board, "≤ 1%", True),
    ("hidden", "hidden page (minimised window)", hidden, "≤ 0.5%", True),
    ("unthrottled", "hidden page, its timers not slowed (chromedriver's default)", hidden,
     "", False),
]
CHOSEN = os.environ.get("PERF_CASES", ",".join(case[0] for case in CASES)).split(",")

# Times every timer task of the page: for the game, each is one frame.
TIME_FRAMES = """
  window.frameCost = {count: 0, total: 0};
  var setTimer = window.setTimeout;
  window.setTimeout = function (task, delay) {
    return setTimer(function () {
      var start = performance.now();
      task();
      frameCost.total += performance.now() - start;
      frameCost.count++;
    }, delay);
  };
"""


def load():
    with open("/proc/loadavg") as f:
        return " ".join(f.read().split()[:3])


def measure(case, throttled, base, threads):
    """One run: % of a core, the mean frame period, the load average at the
    start, and with PERF_FRAME the mean cost of a frame's task."""
    driver = browser(throttled)
    try:
        game = case(driver, base)
        if game and FRAME:
            driver.execute_script(TIME_FRAMES)
        time.sleep(WARMUP)
        start_load = load()
        frames0 = frames(driver) if game else 0
        t0 = time.monotonic()
        before, threads_before = snapshot(driver)
        time.sleep(MEASURE)
        after, threads_after = snapshot(driver)
        t1 = time.monotonic()
        frames1 = frames(driver) if game else 0
        for key, (role, name, used) in threads_after.items():
            was = threads_before.get(key, (role, name, 0))[2]
            threads[(role, name)] = threads.get((role, name), 0) + used - was
        cpu = 100.0 * spent(before, after) / TICK / (t1 - t0)
        period = 1000.0 * (t1 - t0) / (frames1 - frames0) if frames1 > frames0 else None
        cost = None
        if game and FRAME:
            count, total = driver.execute_script("return [frameCost.count, frameCost.total]")
            cost = total / count if count else None
        return cpu, period, start_load, cost
    finally:
        driver.quit()


def span(values, unit, digits):
    if not values:
        return "—"
    low, high = min(values), max(values)
    if round(low, digits) == round(high, digits):
        return "%.*f%s" % (digits, low, unit)
    return "%.*f–%.*f%s" % (digits, low, digits, high, unit)


def main():
    server, base = serve()
    breakdown = []
    try:
        with open("/proc/cpuinfo") as f:
            model = next((line.split(":", 1)[1].strip() for line in f
                          if line.startswith("model name")), "?")
        print("Measured %s on %d cores of %s; load average at the start: %s."
              % (time.strftime("%Y-%m-%d %H:%M UTC", time.gmtime()), os.cpu_count(), model,
                 load()))
        print("Headless Chromium %s, 800 × 1100 window, no GPU, muted; every Chromium process "
              "over %g s after %g s of settling, %d runs each.\n"
              % (browser_version(), MEASURE, WARMUP, RUNS))
        print("| page | CPU (%% of one core) | mean frame period |%s target | load average "
              "(1, 5, 15 min) |" % (" page's time a frame |" if FRAME else ""))
        print("|---|---|---|%s---|---|" % ("---|" if FRAME else ""))
        for key, name, case, target, throttled in CASES:
            if key not in CHOSEN:
                continue
            threads = {}
            results = [measure(case, throttled, base, threads) for _ in range(RUNS)]
            row = [name, span([r[0] for r in results], "%", 1),
                   span([r[1] for r in results if r[1] is not None], " ms", 1)]
            if FRAME:
                row.append(span([r[3] for r in results if r[3] is not None], " ms", 2))
            row += [target or "—", "; ".join(r[2] for r in results)]
            print("| " + " | ".join(row) + " |", flush=True)
            breakdown.append((name, threads))
    finally:
        server.shutdown()
    if THREADS:
        print("\nWhere the time went, in % of one core (mean of the runs):\n")
        print("| page | thread (process: thread) | CPU |")
        print("|---|---|---|")
        for name, threads in breakdown:
            shown = 0
            for (role, thread), used in sorted(threads.items(), key=lambda item: -item[1]):
                share = 100.0 * used / TICK / (MEASURE * RUNS)
                if shown == 8 or share < 0.05:
                    break
                print("| %s | %s: %s | %.2f%% |" % (name, role, thread, share))
                shown += 1


def browser_version():
    try:
        with os.popen("/usr/bin/chromium --version 2>/dev/null") as f:
            return f.read().split()[1]
    except (OSError, IndexError):
        return "?"


if __name__ == "__main__":
    main()
