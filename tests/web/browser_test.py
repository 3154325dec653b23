#!/usr/bin/python3
# The web page in headless Chromium, checked against the desktop program.
#
#     tests/web/browser_test.py SITE QUILLMOTH
#
# SITE is the built page (build-web/), QUILLMOTH a native desktop build of the
# game. The page is served from a local server and played with real pointer
# actions; it keeps each run as a desktop script (?record), and the desktop
# program replays that script headless with a `shot`, which must equal the
# canvas pixel for pixel. The recording heads itself with the tick start and the
# records the page loaded, and carries how long every page frame lasted, so the
# headless replay reads the page's very clock: even the seconds shown agree, and
# the records it saves are the page's, byte for byte.
#
# Covered: a whole 2 x 4 game with the mouse to a new record, whose first save
# IndexedDB refuses mid-game (the player is told, the next save gets through),
# the record on the board selection screen after a reload (records in
# IndexedDB), every display layout, a short game with touch on an emulated
# phone, the page's scaling and crisp pixels in portrait, laptop and sideways
# phone windows, links kept clear of the picture, sound after the first tap,
# Web Audio resting after the last effect and waking for the next, a still
# board putting only the rows that change on the canvas, a hidden page's
# activate messages and its putting nothing on the canvas, a browser that
# refuses storage, quitting and playing again, the page being installable
# and opening offline, and a deck of faces made from pictures chosen with the
# page's file input, kept offline and given up again.
import base64
import functools
import http.server
import io
import math
import os
import pathlib
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import time
import urllib.parse

from PIL import Image, ImageChops
from selenium import webdriver
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.common.actions.action_builder import ActionBuilder
from selenium.webdriver.common.actions.pointer_input import PointerInput
from selenium.webdriver.common.by import By

SITE, PROGRAM = sys.argv[1], sys.argv[2]
WORK = tempfile.mkdtemp(prefix="quillmoth-web-")
TICK_START = 4242
# The records file: six best times, then six move counts, 32-bit little-endian;
# a board never played keeps 999 in both.
NO_RECORDS = struct.pack("<6I6i", *[999] * 12)
# Where the page keeps the game's records: its data folder, backed by
# IndexedDB (web/storage.js).
PAGE_RECORDS = "/saved/quillmoth/quill.dat"

# Screen places, from the game's rules: the title's lower panel, the
# selection screen's 2 x 4 button and start button, the play panel's board
# selection and quit buttons, and the 2 x 4 board's cells (2 columns, 4 rows, whose
# top left cell starts at x 90, y 60; 30 pixels each), by their middles.
TITLE_PANEL = (120, 280)
SIZE_2X4 = (140, 10)
START = (30, 58)
PLAY_SELECTION = (118, 307)
QUIT = (215, 307)


def middle(tile):
    return 105 + 30 * (tile % 2), 75 + 30 * (tile // 2)


def check(condition, what):
    if not condition:
        raise AssertionError(what)


# --- the page's server and the desktop reference --------------------------

http.server.SimpleHTTPRequestHandler.log_message = lambda *args: None


def serve():
    server = http.server.ThreadingHTTPServer(
        ("127.0.0.1", 0), functools.partial(http.server.SimpleHTTPRequestHandler, directory=SITE))
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server, "http://127.0.0.1:%d/" % server.server_address[1]


server, BASE = serve()

# A copy of the program of its own, so its records file lies in WORK.
REFERENCE = os.path.join(WORK, "quillmoth")
shutil.copy2(PROGRAM, REFERENCE)
for folder in ("Graph", "Sound"):
    os.symlink(os.path.join(os.path.dirname(os.path.abspath(PROGRAM)), folder),
               os.path.join(WORK, folder))
RECORDS = os.path.join(WORK, "quill.dat")


# --- the browser ------------------------------------------------------------

def browser(phone=False):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    # A machine's small /dev/shm (containers) would make Chromium's pages crash.
    for argument in ("--headless=new", "--no-sandbox", "--disable-dev-shm-usage",
                     "--force-device-scale-factor=1", "--window-size=800,1100"):
        options.add_argument(argument)
    if phone:
        options.add_experimental_option("mobileEmulation", {"deviceMetrics": {
            "width": 390, "height": 844, "pixelRatio": 1.0, "touch": True}})
    return webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)


def wait_for(driver, expression, what, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        try:
            value = driver.execute_script("return " + expression)
        except Exception:  # the page between two documents
            value = None
        if value:
            return value
        time.sleep(0.02)
    raise AssertionError("timed out waiting for " + what)


# A page that has started and run its first frames.
STARTED = "window.Module && Module.framesRun > 2"


def open_page(driver, query):
    driver.get(BASE + "?" + query)
    wait_for(driver, STARTED, "the first frames")
    return driver.find_element(By.ID, "screen")


def wait_frames(driver, count):
    start = driver.execute_script("return Module.framesRun")
    wait_for(driver, "Module.framesRun >= %d" % (start + count), "%d frames" % count)


# The canvas, the run so far and the records the page keeps (None when
# it keeps none), taken between two frames.
def capture(driver):
    data = driver.execute_script(
        "var r = Module.recording(), saved = null;"
        "try { saved = Array.from(FS.readFile('%s')); } catch (e) {}"
        "return [Module.canvas.toDataURL('image/png'), r.script, r.frames, saved];"
        % PAGE_RECORDS)
    picture = Image.open(io.BytesIO(base64.b64decode(data[0].split(",")[1]))).convert("RGB")
    # The canvas shows the frame under way: one more than have ended.
    return picture, data[1], int(data[2]) + 1, bytes(data[3] or []) or None


# The page's run so far replayed on the desktop from the records file
# `records` (None: every board at 999) must show the same picture and keep
# the same records, which it returns. The recording heads itself with the
# page's tick start and the records it loaded; the desktop takes the tick
# start and every frame's length from it.
def compare(driver, display, records=None, what=""):
    picture, recording, frames, page_saved = capture(driver)
    what = "%s (%s): " % (what, display)
    query = urllib.parse.parse_qs(urllib.parse.urlparse(driver.current_url).query)
    header = ["# tick-start " + query["tick-start"][0], "# records " + " ".join(
        str(v) for v in struct.unpack("<6I6i", NO_RECORDS if records is None else records))]
    check(recording.splitlines()[:2] == header, what + "the recording starts %r" % recording[:200])
    pathlib.Path(RECORDS).write_bytes(records or b"")
    # The recording holds the frames that have ended, the canvas shows the
    # one under way: the replay runs on past the recording's last line up to
    # that frame. A wait line counts frames in its first number (a second one
    # is their length in milliseconds). How long the frames past the last
    # line last does not matter: a frame's picture is drawn with the clock as
    # it stood when the frame began.
    waited = sum(int(line.split()[1]) for line in recording.splitlines()
                 if line.startswith("wait "))
    check(frames > waited, "the recording holds %d frames, the canvas shows frame %d"
          % (waited, frames))
    shot, script = os.path.join(WORK, "shot.png"), os.path.join(WORK, "run.txt")
    pathlib.Path(script).write_text(recording + "wait %d\nshot %s\n" % (frames - waited, shot))
    subprocess.run([REFERENCE, "--headless", "--display", display, "--script", script],
                   check=True, stdout=subprocess.DEVNULL, timeout=60)
    difference = ImageChops.difference(picture, Image.open(shot).convert("RGB")).getbbox()
    check(difference is None, what + "the canvas differs from the desktop's in %s" % (difference,))
    saved = pathlib.Path(RECORDS).read_bytes() or None
    check(saved == page_saved, what + "the desktop keeps %r, the page %r" % (saved, page_saved))
    return saved


DOWNS = "(Module.recording().script.match(/^down /mg) || []).length"

# IndexedDB refusing the page's writes as a full storage quota does: the
# first write throws QuotaExceededError, later ones are aborted when their
# transaction commits. Writes work again once the page has told the player
# something (Module.say, the line under the picture).
REFUSE_WRITES = """
  var put = IDBObjectStore.prototype.put, say = Module.say;
  window.refusedWrites = 0;
  IDBObjectStore.prototype.put = function () {
    if (++refusedWrites == 1) throw new DOMException('quota exceeded', 'QuotaExceededError');
    var request = put.apply(this, arguments), transaction = this.transaction;
    request.addEventListener('success', function () { try { transaction.abort(); } catch (e) {} });
    return request;
  };
  Module.say = function (text) { IDBObjectStore.prototype.put = put; say(text); };
"""


# Every call that puts pixels on a canvas, from now on: the frame under way,
# whether the page was hidden, and the rows it covered.
LOG_CANVAS = """
  window.canvasWork = [];
  var proto = CanvasRenderingContext2D.prototype;
  ['putImageData', 'drawImage', 'fillRect', 'clearRect'].forEach(function (name) {
    var original = proto[name];
    proto[name] = function () {
      var part = name == 'putImageData' && arguments.length >= 7, top = part ? arguments[4] : 0;
      canvasWork.push([Module.framesRun, document.hidden, top, top + (part ? arguments[6] : 320)]);
      return original.apply(this, arguments);
    };
  });
  window.shownAt = [];
  document.addEventListener('visibilitychange', function () {
    shownAt.push([document.hidden, Module.framesRun]); });
"""

# The seconds counter of the play panel: three digits of 14-pixel glyphs, 16
# pixels apart, drawn at (63, 257) with a shadow one pixel right and down.
# On a board nobody touches it is all that changes, once a second.
SECONDS_ROWS = (257, 257 + 14 + 1)


# A freshly dealt board nobody touches: a frame that leaves the picture
# as it was puts nothing on the canvas, and one that changes it puts only
# the rows that changed.
def check_still_board(driver, frames=45):
    driver.execute_script(LOG_CANVAS)
    wait_frames(driver, frames)
    work = driver.execute_script("return canvasWork")
    # The counter moves once a second; the frames last 30 ms or more.
    check(len(work) <= frames * 32 // 1000 + 2, "a still board drew %d times" % len(work))
    check(all(SECONDS_ROWS[0] <= top and bottom <= SECONDS_ROWS[1] for _, _, top, bottom in work),
          "a still board drew more than the seconds (rows %d to %d): %s" % (*SECONDS_ROWS, work))


# A real press and release of a "mouse", "touch" or "pen" pointer, (dx, dy)
# from the element's middle.
def press(driver, element, pointer, dx=0, dy=0):
    actions = ActionBuilder(driver, mouse=PointerInput(pointer, pointer))
    actions.pointer_action.move_to(element, dx, dy).pointer_down().pointer_up()
    actions.perform()


# From the title to a newly dealt 2 x 4 board.
def to_board(driver, canvas, pointer="mouse"):
    for point in (TITLE_PANEL, SIZE_2X4, START):
        tap(driver, canvas, point, pointer, then=4)


# Taps a tile and waits `frames` frames; returns the canvas then.
def turn(driver, canvas, tile, frames, pointer="mouse"):
    tap(driver, canvas, middle(tile), pointer, then=frames)
    return capture(driver)[0]


# A real tap of a mouse, "touch" or "pen" pointer on game pixel `point`;
# returns once the game has the touch-down, which must be at `point`, and
# `then` frames more have run.
def tap(driver, canvas, point, pointer="mouse", then=0):
    downs = driver.execute_script("return " + DOWNS)
    scale = canvas.size["width"] / 240
    press(driver, canvas, pointer, round((point[0] + 0.5) * scale - canvas.size["width"] / 2),
          round((point[1] + 0.5) * scale - canvas.size["height"] / 2))
    wait_for(driver, "%s > %d" % (DOWNS, downs), "the tap to arrive")
    landed = capture(driver)[1].split("down ")[-1].split("\n")[0]
    check(landed == "%d %d" % point, "a tap on %s landed at %s" % (point, landed))
    wait_frames(driver, then)


# What the screen shows is the canvas, each game pixel a solid block of
# its own colour: never smoothed, at a whole scale or a fractional one.
def check_shown_as_drawn(driver, canvas):
    for _ in range(5):
        before = capture(driver)[0]
        shown = Image.open(io.BytesIO(canvas.screenshot_as_png)).convert("RGB")
        after = capture(driver)[0]
        scale = shown.width / 240
        sampled = Image.new("RGB", (240, 320))
        sampled.putdata([shown.getpixel((int((x + 0.5) * scale), int((y + 0.5) * scale)))
                         for y in range(320) for x in range(240)])
        if not (ImageChops.difference(sampled, before).getbbox()
                and ImageChops.difference(sampled, after).getbbox()):
            blocks = sampled.resize(shown.size, Image.NEAREST)
            # At a fractional scale the blocks are of uneven sizes: where one
            # ends, the browser and this resize may disagree by a screen
            # pixel. Each screen pixel must still have the very colour of the
            # game pixel there or of one beside it; smoothing mixes new colours.
            # A mask is non-zero wherever any channel differs at all.
            near = (0,) if scale == int(scale) else (-1, 0, 1)
            masks = [ImageChops.difference(ImageChops.offset(blocks, dx, dy), shown)
                     .point(lambda v: 255 if v else 0).convert("L") for dx in near for dy in near]
            check(functools.reduce(ImageChops.darker, masks).getbbox() is None,
                  "the picture is smoothed at scale %.3f" % scale)
            return
    raise AssertionError("the screen does not show the canvas")


# The page's layout, by its rules: the caption goes beside the picture, in a
# 120 px column 48 px from it (and as much room kept on the other side, so
# the picture stays centred), when the window is wide enough for that and
# for the picture at the window's full height; else under the picture. In
# the room left, the picture takes the largest whole factor, unless that
# leaves more than a quarter of the room's height unused, or no whole factor
# fits, or the window is narrower than 480 CSS pixels (a phone): then it
# takes all the room it can. Links stay at least 48 CSS pixels from the
# picture and open in a tab of their own.
CLEARANCE, COLUMN = 48, 120


# Checks the page against the rules above; returns the picture's scale
# and whether it is a whole factor.
def check_layout(driver, what):
    # Once the page has laid itself out for the window as it is.
    driver.execute_async_script("var done = arguments[arguments.length - 1];"
                                "requestAnimationFrame(function () {"
                                "  requestAnimationFrame(function () { done(); }); });")
    page = driver.execute_script(
        "function box(e) { var b = e.getBoundingClientRect();"
        "  return [b.left, b.top, b.right, b.bottom]; }"
        "var s = document.scrollingElement;"
        "return {canvas: box(Module.canvas), caption: box(document.getElementById('caption')),"
        "  links: Array.from(document.links).map(function (a) {"
        "    return [box(a), a.target, a.rel, a.href]; }),"
        "  width: document.documentElement.clientWidth, height: innerHeight,"
        "  scrolled: s.scrollHeight > innerHeight || s.scrollWidth > innerWidth};")
    width, height = page["width"], page["height"]
    left, top, right, bottom = page["canvas"]
    caption = page["caption"]
    what = "%s (%d x %d), picture %s, caption %s: " % (what, width, height, page["canvas"], caption)
    near = 0.05  # layout positions are kept in 64ths of a pixel
    check(not page["scrolled"], what + "the page scrolls")
    if width - 2 * (CLEARANCE + COLUMN) >= height * 240 / 320:
        check(abs(caption[0] - (right + CLEARANCE)) < near, what + "the caption is not beside")
        room_width, room_height = width - 2 * (CLEARANCE + COLUMN), height
    else:
        check(caption[1] >= bottom - near, what + "the caption is not under the picture")
        room_width, room_height = width, height - (caption[3] - bottom)
    check(caption[3] <= height + near, what + "the caption is not in the window")
    largest = min(room_width / 240, room_height / 320)
    whole = math.floor(largest)
    fills = width < 480 or whole < 1 or room_height - 320 * whole > room_height / 4
    scale = largest if fills else whole
    check(abs((right - left) - 240 * scale) < near and abs((bottom - top) - 320 * scale) < near,
          what + "the picture is not at scale %.4f" % scale)
    check(left >= -near and top >= -near and right <= width + near and bottom <= height + near,
          what + "the picture is not all in the window")
    check(abs((left + right) / 2 - width / 2) < 1, what + "the picture is not centred")
    check(page["links"], what + "the page has no links")
    for (a_left, a_top, a_right, a_bottom), target, rel, href in page["links"]:
        apart = max(a_left - right, left - a_right, a_top - bottom, top - a_bottom)
        check(apart >= CLEARANCE - near and target == "_blank" and "noopener" in rel.split(),
              what + "the link to %s, %.1f px from the picture, opens %s" % (href, apart, target))
    return scale, not fills


# --- the player's own pictures ---------------------------------------------

# Forty pictures of solid colours, all different, make a deck of only the
# player's faces (the first 40 that make a face, in name order, take the
# places of the game's b1.tga to b40.tga); the page keeps them in the
# records' folder. A face keeps its picture's colour in its middle, to
# within what a palette of 256 colours for the frame, the parchment and the
# picture allows (8 a channel), and on the canvas to within the display's 5
# and 6 bits a channel more. The colours lie 85 apart or more.
DECK = "/saved/quillmoth/faces"
OWN_COLOURS = [(r, g, b) for r in (0, 85, 170, 255) for g in (0, 85, 170, 255)
               for b in (0, 128, 255)][:40]
FACE_BYTES = 18 + 256 * 3 + 30 * 30


# The forty pictures, of assorted shapes and sizes, and one file that
# is no picture; their paths in an order other than their names'.
def own_pictures():
    folder = tempfile.mkdtemp(prefix="pictures-", dir=WORK)
    paths = [os.path.join(folder, "p%02d.png" % number) for number in range(len(OWN_COLOURS))]
    for number, colour in enumerate(OWN_COLOURS):
        size = [(64, 48), (37, 90), (1600, 1200), (300, 300)][number % 4]
        Image.new("RGB", size, colour).save(paths[number])
    notes = os.path.join(folder, "notes.txt")
    pathlib.Path(notes).write_text("not a picture\n")
    return paths[::-1] + [notes]


# The colour in the middle of the kept face `number`, from its file:
# a palette of blue, green, red triples, then a palette index a pixel.
def face_middle(driver, number):
    data = driver.execute_script(
        "try { return Array.from(FS.readFile('%s/b%d.tga')); } catch (e) { return null; }"
        % (DECK, number))
    check(data is not None and len(data) == FACE_BYTES,
          "face %d is %s" % (number, "missing" if data is None else "%d bytes" % len(data)))
    index = data[18 + 256 * 3 + 15 * 30 + 15]
    blue, green, red = data[18 + 3 * index:18 + 3 * index + 3]
    return red, green, blue


def near(colour, other, by):
    return all(abs(a - b) <= by for a, b in zip(colour, other))


# How many faces of the player's the game plays with, and whether the page
# offers ours back.
def deck(driver):
    return (driver.execute_script("return Module.deckFaces"),
            driver.find_element(By.ID, "ours").is_displayed())


# A 2 x 4 deal's first tile turned: the colour in its middle.
def first_tile_colour(driver):
    canvas = open_page(driver, "tick-start=%d&record" % TICK_START)
    to_board(driver, canvas)
    return turn(driver, canvas, 0, 14).getpixel(middle(0))


# Offline from now on, once the service worker has kept the page.
def go_offline(driver):
    wait_for(driver, "navigator.serviceWorker.controller", "the service worker")
    server.shutdown()
    server.server_close()


# Faces from the player's pictures, chosen with the page's file input:
# made, kept through a reload and offline, and given up again.
def check_own_pictures():
    global server, BASE
    server, BASE = serve()
    driver = browser()
    try:
        open_page(driver, "tick-start=%d" % TICK_START)
        check(deck(driver) == (0, False), "a page that has no deck offers ours back")
        check(driver.find_element(By.ID, "yours").is_displayed(), "no \"Your pictures\"")
        driver.execute_script("window.stale = true")
        driver.find_element(By.ID, "pictures").send_keys("\n".join(own_pictures()))
        wait_for(driver, "!window.stale && " + STARTED, "the page to start again with the deck", 60)
        note = driver.find_element(By.ID, "note").text
        check("notes.txt: not a picture" in note, "the note says %r" % note)
        # Then offline, from the service worker's copy: the deck is still there.
        for online in (True, False):
            turned = first_tile_colour(driver)
            check(any(near(turned, colour, 16) for colour in OWN_COLOURS),
                  "a turned tile shows %s, none of the pictures' colours" % (turned,))
            check(deck(driver) == (40, True), "the game plays with %s faces of the player's, "
                  "offers ours: %s" % deck(driver))
            # In name order, whatever order they were chosen in.
            for number in (1, 2, 40):
                colour = face_middle(driver, number)
                check(near(colour, OWN_COLOURS[number - 1], 8), "face %d is %s in its middle, "
                      "its picture %s" % (number, colour, OWN_COLOURS[number - 1]))
            if online:
                go_offline(driver)
        # "Our pictures" gives the deck up.
        driver.execute_script("window.stale = true")
        driver.find_element(By.ID, "ours").click()
        wait_for(driver, "!window.stale && " + STARTED, "the page to start again with ours", 60)
        check(deck(driver) == (0, False) and not driver.execute_script(
                  "return FS.analyzePath('%s').exists" % DECK),
              "the deck is still in use after \"Our pictures\"")
    finally:
        driver.quit()


# --- playing ----------------------------------------------------------------

# From the title to a 2 x 4 board, then finds `pairs` pairs by turning
# tiles and reading their faces off the canvas. Returns the moves made.
def play_2x4(driver, canvas, pointer="mouse", pairs=4):
    to_board(driver, canvas, pointer)
    check_shown_as_drawn(driver, canvas)  # a still board
    if pointer == "mouse":
        check_still_board(driver)
    faces, found, moves = {}, set(), 0

    def face(picture, tile):
        x, y = middle(tile)
        return picture.crop((x - 15, y - 15, x + 15, y + 15)).tobytes()

    while len(found) < 2 * pairs:
        left = [t for t in range(8) if t not in found]
        known = [(a, b) for a in left for b in left
                 if a < b and a in faces and b in faces and faces[a] == faces[b]]
        first = known[0][0] if known else next(t for t in left if t not in faces)
        # The tap is taken, then the turn's ten frames; a first pick stays up.
        faces[first] = face(turn(driver, canvas, first, 14, pointer), first)
        partner = [t for t in left if t != first and t in faces and faces[t] == faces[first]]
        second = partner[0] if partner else next(t for t in left if t not in faces)
        # Long enough for a found pair to shrink away; a pair that differs
        # stays face up.
        picture = turn(driver, canvas, second, 31, pointer)
        moves += 1
        if face(picture, first) != faces[first]:
            found |= {first, second}
        else:
            faces[second] = face(picture, second)
    return moves


def main():
    global server, BASE
    started = time.time()
    desktop = browser()
    try:
        # A whole game with the mouse, to a new record.
        canvas = open_page(desktop, "tick-start=%d&record" % TICK_START)
        first_frame = desktop.execute_script("return Module.firstFrameMs")
        check_layout(desktop, "a tall window")
        compare(desktop, "rgb565", what="title")
        # Mid-game, IndexedDB starts refusing writes until the player has
        # been told (see REFUSE_WRITES); the game's first save of the record
        # then fails, and its second, for the other half of a double record,
        # must get through.
        desktop.execute_script(REFUSE_WRITES)
        moves = play_2x4(desktop, canvas)
        check(desktop.execute_script("return Module.effectsPlayed || 0") > 0,
              "no effect was played after the first tap")
        # With no effect playing, Web Audio rests within a few seconds, and
        # the next effect wakes it.
        wait_for(desktop, "QuillmothPage.audio.state == 'suspended'",
                 "the audio to rest after the last effect", 10)
        wait_frames(desktop, 20)
        refused, note = desktop.execute_script(
            "return [refusedWrites, document.getElementById('note').textContent]")
        check(refused > 0 and "records cannot be saved" in note,
              "IndexedDB refused %d writes, and the page says %r" % (refused, note))
        # The records the game keeps, in memory and in its folder, are the
        # desktop's; the reload below finds them in IndexedDB.
        records = compare(desktop, "rgb565", what="cleared board with the record banner")
        check(records is not None and len(records) == 48, "the desktop saved no records")
        record = struct.unpack("<6I6i", records)
        check(record[6] == moves and record[0] < 60, "the 2 x 4 record is %d s, %d moves; "
              "%d moves were made" % (record[0], record[6], moves))
        played = desktop.execute_script("return Module.effectsPlayed")
        tap(desktop, canvas, PLAY_SELECTION, then=5)
        check(desktop.execute_script("return Module.effectsPlayed") > played,
              "the button's effect was not played after the audio rested")
        wait_for(desktop, "QuillmothPage.audio.state == 'running'",
                 "the audio to wake for an effect", 10)
        compare(desktop, "rgb565", what="records after the game")

        # The record is still there after a reload (gray4 display, a pen).
        # Another tab in front hides the page for a while: the game hears of
        # it as of a focus change, and goes on running, but the page puts
        # nothing on the canvas until it is shown again.
        canvas = open_page(desktop, "display=gray4&tick-start=%d&record" % TICK_START)
        desktop.execute_script(LOG_CANVAS)
        page = desktop.current_window_handle
        desktop.switch_to.new_window("tab")
        time.sleep(0.5)
        desktop.close()
        desktop.switch_to.window(page)
        wait_for(desktop, "shownAt.length >= 2", "the page to be hidden and shown again")
        (hidden, hidden_at), (_, shown_at) = desktop.execute_script("return shownAt")
        check(hidden and shown_at > hidden_at + 5,
              "the hidden page ran frames %s to %s" % (hidden_at, shown_at))
        work = desktop.execute_script("return canvasWork")
        check(not any(w[1] for w in work), "the hidden page drew on the canvas: %s" % work)
        check(any(w[0] >= shown_at for w in work), "the page shown again draws nothing")
        tap(desktop, canvas, TITLE_PANEL, "pen", then=5)
        script = capture(desktop)[1]
        check("activate 0\n" in script and "activate 1\n" in script, "no activate messages")
        compare(desktop, "gray4", records, what="records after a reload")

        # The other display layouts; the last one in a browser that refuses
        # storage, which the caption says once: that page cannot reach what
        # the others saved, and starts with no records.
        for display in ("rgb565-wide", "rgb565-flipped", "gray2", "rgb444"):
            if display == "rgb444":
                desktop.execute_cdp_cmd("Page.addScriptToEvaluateOnNewDocument", {
                    "source": "indexedDB.open = function () { throw new Error('refused'); };"})
            canvas = open_page(desktop, "display=%s&tick-start=%d&record" % (display, TICK_START))
            tap(desktop, canvas, TITLE_PANEL, then=3)
            compare(desktop, display, None if display == "rgb444" else records,
                    what="board selection")
        note = desktop.find_element(By.ID, "note").text
        check("records last until it is closed" in note, "no word of refused storage: %r" % note)

        # A laptop: a 1366 x 768 window, with the browser's bars, leaves too
        # little height for 2x, and 1x would leave the page mostly black.
        desktop.set_window_size(1366, 768)
        scale, whole = check_layout(desktop, "a laptop window")
        check(scale > 1, "a laptop window shows the game at %.2fx" % scale)
        # A window where a whole factor fills the height: exact blocks.
        desktop.set_window_size(1000, 800)
        scale, whole = check_layout(desktop, "a window fitting 2x")
        check(whole, "a window fitting 2x shows the game at %.3fx" % scale)
        check_shown_as_drawn(desktop, canvas)

        # Installable, and offline the service worker has kept the page.
        go_offline(desktop)
        errors = desktop.execute_cdp_cmd("Page.getInstallabilityErrors", {})
        check(not errors["installabilityErrors"], "not installable: %s" % errors)
        open_page(desktop, "tick-start=1")
        print("first title frame %.0f ms after navigation (%.0f ms offline)"
              % (first_frame, desktop.execute_script("return Module.firstFrameMs")))
    finally:
        desktop.quit()

    # A short game with touch on a phone, on a sideways display.
    server, BASE = serve()
    phone = browser(phone=True)
    try:
        canvas = open_page(phone, "display=rgb565-sideways&tick-start=%d&record"
                           % (TICK_START + 1))
        check(phone.execute_script("return navigator.maxTouchPoints") > 0, "no touch screen")
        check_layout(phone, "a phone")
        play_2x4(phone, canvas, "touch", pairs=1)
        compare(phone, "rgb565-sideways", what="touch game")
        # Quit, then "tap to play again" starts a new game.
        tap(phone, canvas, QUIT, "touch")
        wait_for(phone, "getComputedStyle(document.getElementById('again')).display != 'none'",
                 "the offer to play again")
        press(phone, phone.find_element(By.ID, "again"), "touch")
        wait_for(phone, STARTED + " && Module.recording().script.indexOf('down') < 0",
                 "a new game after quitting")
        # Phones held sideways: the page's height, with the browser's bars
        # taken off, fits no whole factor on a small one, and leaves 1x too
        # small on a large one.
        for width, height in ((740, 300), (932, 430)):
            phone.execute_cdp_cmd("Emulation.setDeviceMetricsOverride", {
                "width": width, "height": height, "deviceScaleFactor": 1, "mobile": True,
                "screenOrientation": {"type": "landscapePrimary", "angle": 90}})
            check_layout(phone, "a phone held sideways")
    finally:
        phone.quit()
    check_own_pictures()
    shutil.rmtree(WORK)
    print("browser test passed in %.1f s" % (time.time() - started))


if __name__ == "__main__":
    main()
