#!/usr/bin/env python3
"""Opens each of our plug-ins' editors in Ardour 7's own window and uses it
as a person would: run by scripts/ardour-gui-check.sh.

  gui_check.py ROOT BUILD [STEM...]   (the stems choose plug-ins; all without)

For every plug-in, ardour7-lua builds a session headless (a sine recorded into
a track that carries the plug-in, a lane of automation in Play mode), our test
host photographs the editor on the same chunk, and then Ardour's GUI opens the
session under Xvfb with openbox (the window manager gives the focus and closes
windows) and the dummy engine. On the editor it checks, in this order:

  * it opens from the Mixer (a double-click on the plug-in in the processor
    box) in a window of the editor's rectangle, and shows exactly what our test
    host shows (the counter aside, whose hover readout follows the pointer);
  * it is shown again after another window covered it;
  * its meters move while the transport rolls the sine, fall back to rest when
    it stops and move again when it rolls once more;
  * Ardour's automation playback moves a knob;
  * a knob drag and a button click reach Ardour: the session saved with
    Ctrl+S holds the new values in Ardour's controls and in the plug-in's chunk;
  * after a typed value and Return the keyboard is back where it was, and
    Space starts the transport; the chunk holds the typed value;
  * the window closes and reopens showing what it showed;
  * Ardour quits with status 0 and leaves no window behind.

Every check prints one line starting with "ok " or "FAIL "; the first failure
ends the run, which exits 1. Logs, screenshots (PNG) and the
sessions stay in BUILD/ardour-gui-check.

Ardour 7.3's traps this program steps around:
  * it reads VST plug-ins only from its scan cache, so the scanner runs first
    (and, on a fresh configuration, once more after Ardour listed them once);
  * its first start asks questions unless the configuration says it has run
    before and names the engine to start;
  * a plug-in's gesture that writes to an automation lane in music time in
    Touch mode takes it down: every lane is in audio time, none in Touch;
  * the window it gives an editor is a few rows taller than the editor asks
    for (black below it): the editor's rectangle is what is compared.
"""
import base64
import os
import re
import select
import shutil
import struct
import subprocess
import sys
import time
import zlib

SCANNER = "/usr/lib/ardour7/ardour-vst-scanner"
SCREEN = (1600, 1000)
RATE = 44100
# The three plug-ins take about two minutes; a run that takes much longer than
# that stops with a failure before CI's five minutes are up.
DEADLINE_SECONDS = 270
DEADLINE = time.monotonic() + DEADLINE_SECONDS


class Product:
    def __init__(self, stem, uid, params, sets, automated, knob, button, automated_knob, meters, field):
        self.stem = stem
        self.uid = uid
        self.params = params
        # Meters show the output, so that they follow the sine.
        self.sets = sets
        self.automated = automated            # the index Ardour's lane plays
        self.knob = knob                      # (index, x, y): a point right of the knob's top
        self.button = button                  # (index, x, y): the button's middle
        self.automated_knob = automated_knob  # (x, y, w, h) of the automated knob
        self.meters = meters                  # [(x, y, w, h)]
        self.field = field                    # (x, y, w, h): the counter and the value field over it


# Editor points as in scripts/ui-e2e.sh: Drive's top, the Link button, the
# Output knob (automated), the meters, the counter.
PRODUCTS = [
    Product("JYX_Ostrelvanheim2", 1247367027, 42, "21=1", 14, (4, 178, 225), (3, 390, 418),
            (345, 324, 60, 50), [(54, 40, 136, 70), (261, 40, 136, 70)], (151, 281, 56, 17)),
    Product("JYX_Ostrelvanheim", 1249464179, 48, "21=1", 14, (4, 178, 225), (3, 390, 418),
            (345, 324, 60, 50), [(54, 40, 136, 70), (261, 40, 136, 70)], (151, 281, 56, 17)),
    Product("JYX_Tindravelle", 1249465449, 22, "14=1", 13, (6, 179, 230), (3, 390, 327),
            (343, 232, 62, 62), [(49, 34, 145, 93), (256, 34, 145, 93)], (152, 279, 55, 20)),
]


# What the X tools say when the busy server refuses them a connection.
DISPLAY_REFUSED = r"(?i)(can't|cannot|unable to) open (the )?(x )?display"


class Failed(Exception):
    pass


def ok(message):
    print("ok " + message, flush=True)


def check(condition, message, detail=""):
    if not condition:
        raise Failed(message + (": " + detail if detail else ""))
    ok(message)


def wait_until(condition, seconds, what, step=0.1):
    """Polls the condition (never a bare sleep); raises Failed after seconds."""
    limit = time.monotonic() + seconds
    while True:
        if time.monotonic() > DEADLINE:
            raise Failed(f"the check ran out of time ({DEADLINE_SECONDS} s) waiting until {what}")
        value = condition()
        if value:
            return value
        if time.monotonic() > limit:
            raise Failed(f"{what} (not within {seconds} s)")
        time.sleep(step)


# ---------------------------------------------------------------- pictures

class Picture:
    """A screenshot: rows of RGB bytes, read from the PPM xshot writes."""

    def __init__(self, path):
        data = open(path, "rb").read()
        magic, size, depth, self.rgb = data.split(b"\n", 3)
        if magic != b"P6" or depth != b"255":
            raise Failed(f"{path} is no PPM of 8-bit colours")
        self.width, self.height = map(int, size.split())

    def pixel(self, x, y):
        at = (y * self.width + x) * 3
        return tuple(self.rgb[at:at + 3])

    def rows(self, x, y, w, h):
        return [self.rgb[((y + r) * self.width + x) * 3:((y + r) * self.width + x + w) * 3] for r in range(h)]

    def area(self, x, y, w, h):
        return b"".join(self.rows(x, y, w, h))

    def save_png(self, path, x=0, y=0, w=None, h=None):
        w = self.width if w is None else w
        h = self.height if h is None else h
        raw = b"".join(b"\0" + row for row in self.rows(x, y, w, h))

        def chunk(kind, body):
            return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 2, 0, 0, 0))
                    + chunk(b"IDAT", zlib.compress(raw, 6)) + chunk(b"IEND", b""))


def differing_pixels(a, b, masks=()):
    """How many pixels differ between two pictures of one size, masked areas
    left out, and the rectangle (x, y, w, h) around them."""
    differ, box = 0, None
    for y, (row_a, row_b) in enumerate(zip(a.rows(0, 0, a.width, a.height), b.rows(0, 0, b.width, b.height))):
        if row_a == row_b:
            continue
        for x in range(a.width):
            if row_a[x * 3:x * 3 + 3] != row_b[x * 3:x * 3 + 3] and not any(
                    mx <= x < mx + mw and my <= y < my + mh for mx, my, mw, mh in masks):
                differ += 1
                box = (min(box[0], x), min(box[1], y), max(box[2], x), max(box[3], y)) if box else (x, y, x, y)
    return differ, box and (box[0], box[1], box[2] - box[0] + 1, box[3] - box[1] + 1)


def processor_entry(picture):
    """The plug-in's entry in the Mixer's processor box: the widest run of
    rows in Ardour's plug-in red (red about twice green, green as blue)."""
    def red(p):
        return p[0] >= 60 and p[0] >= 1.8 * p[1] + 10 and abs(p[1] - p[2]) <= 3
    counts = []
    for y in range(0, picture.height, 2):
        xs = [x for x in range(0, picture.width, 2) if red(picture.pixel(x, y))]
        counts.append((y, xs))
    best = max(counts, key=lambda row: len(row[1]))
    if len(best[1]) < 20:
        return None
    rows = [(y, xs) for y, xs in counts if len(xs) >= len(best[1]) // 2 and abs(y - best[0]) <= 20]
    top, bottom = min(y for y, _ in rows), max(y for y, _ in rows)
    left = min(min(xs) for _, xs in rows)
    right = max(max(xs) for _, xs in rows)
    return (left, top, right - left, bottom - top)


# ---------------------------------------------------------------- the X server

class Screen:
    """A private Xvfb with openbox, the X tools run on it (tried again when the
    busy server refuses a connection for a moment), and the screenshots."""

    def __init__(self, work, xshot):
        self.work = work
        self.xshot = xshot
        self.shots = None
        self.shot_count = 0
        self.xvfb = self.openbox = None
        # Xvfb picks a free display itself and writes its number to a pipe;
        # one that loses a race for the display, or a window manager that
        # finds the busy server refusing it, is started once more.
        for attempt in range(3):
            number = self.start_xvfb(os.path.join(work, f"xvfb-{attempt + 1}.log"))
            if number:
                break
        else:
            raise Failed("Xvfb starts (logs in xvfb-*.log)")
        self.env = dict(os.environ, DISPLAY=":" + number)
        for attempt in range(3):
            self.openbox = subprocess.Popen(["openbox"], env=self.env, stdout=open(
                os.path.join(work, f"openbox-{attempt + 1}.log"), "w"), stderr=subprocess.STDOUT)
            if wait_until(lambda: self.openbox.poll() is not None or self.managed(), 20, "openbox starts"):
                if self.openbox.poll() is None:
                    break
        else:
            raise Failed("openbox manages the screen (logs in openbox-*.log)")
        ok(f"Xvfb on :{number} with openbox")

    def start_xvfb(self, log):
        read_fd, write_fd = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_fd), "-screen", "0", f"{SCREEN[0]}x{SCREEN[1]}x24",
             "-nolisten", "tcp", "-noreset"], pass_fds=(write_fd,), stdout=open(log, "w"), stderr=subprocess.STDOUT)
        os.close(write_fd)
        # It writes the number and the newline apart, and dies when the pipe
        # is closed in between: read the whole line.
        text = b""
        while not text.endswith(b"\n") and select.select([read_fd], [], [], 20)[0]:
            part = os.read(read_fd, 32)
            if not part:
                break
            text += part
        number = text.decode().strip() if text.endswith(b"\n") else ""
        os.close(read_fd)
        if number and self.xvfb.poll() is None:
            return number
        self.close()
        return None

    def managed(self):
        return "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                                               check=False)

    def close(self):
        for process in (self.openbox, self.xvfb):
            if process and process.poll() is None:
                process.terminate()
                try:
                    process.wait(10)
                except subprocess.TimeoutExpired:
                    process.kill()

    def run(self, command, check=True, timeout=20):
        for attempt in range(20):
            done = subprocess.run(command, env=self.env, capture_output=True, text=True, timeout=timeout)
            refused = re.search(DISPLAY_REFUSED, done.stderr)
            if not refused:
                break
            time.sleep(0.05)
        if check and done.returncode != 0:
            raise Failed(f"{' '.join(command)} ended with status {done.returncode}: {done.stderr.strip()}")
        return done.stdout

    def start_client(self, command, shown, what):
        """A program with a window of its own, up to when shown() holds; one
        that ends first (refused by the busy server) is started once more."""
        for attempt in range(5):
            client = subprocess.Popen(command, env=self.env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            if wait_until(lambda: client.poll() is not None or shown(), 10, what) and client.poll() is None:
                return client
        raise Failed(what)

    def xdotool(self, *args, check=True):
        return self.run(["xdotool", *map(str, args)], check=check)

    def windows(self, name):
        return [int(w) for w in self.xdotool("search", "--name", name, check=False).split()]

    def info(self, window):
        """Position on the screen, size, whether it is shown, and its parent."""
        text = self.run(["xwininfo", "-id", str(window)], check=False)
        tree = self.run(["xwininfo", "-tree", "-id", str(window)], check=False)
        if "Absolute upper-left X" not in text:
            return None

        def number(label):
            return int(re.search(label + r":\s+(-?\d+)", text).group(1))
        parent = re.search(r"Parent window id: (0x[0-9a-f]+)", tree)
        return {"x": number("Absolute upper-left X"), "y": number("Absolute upper-left Y"),
                "w": number("Width"), "h": number("Height"),
                "viewable": "IsViewable" in text, "parent": int(parent.group(1), 16) if parent else 0}

    def root_windows(self):
        text = self.run(["xwininfo", "-root", "-children"])
        return set(re.findall(r"^\s+(0x[0-9a-f]+)", text, re.M))

    def focus(self):
        return int(self.xdotool("getwindowfocus", "-f").strip())

    def activate(self, window):
        """The window manager activates the window, and the keyboard is in it."""
        self.xdotool("windowactivate", window, check=False)
        wait_until(lambda: self.xdotool("getactivewindow", check=False).strip() == str(window) and
                   self.xdotool("getwindowfocus", check=False).strip() == str(window), 10,
                   f"window {window} is active and has the keyboard")

    def shot(self, name=None, area=None):
        """The whole screen now, or an area (x, y, w, h) of it as shown;
        kept as a PNG when named."""
        path = os.path.join(self.work, "screen.ppm")
        self.run([self.xshot, path, *map(str, area or ())])
        picture = Picture(path)
        if name:
            self.shot_count += 1
            picture.save_png(os.path.join(self.shots, f"{self.shot_count:02d}-{name}.png"))
        return picture


# ---------------------------------------------------------------- the check of one plug-in

def run(command, log, env, timeout):
    with open(log, "w") as out:
        return subprocess.run(command, env=env, stdout=out, stderr=subprocess.STDOUT, timeout=timeout).returncode


def lines_starting(path, prefixes):
    return [line.rstrip() for line in open(path, errors="replace") if line.startswith(prefixes)]


def saved_values(session_file, uid):
    """Ardour's value of each of the plug-in's controls, and its chunk."""
    xml = open(session_file, errors="replace").read()
    processor = re.search(r'<Processor[^>]*unique-id="%d".*?</Processor>' % uid, xml, re.S)
    if not processor:
        raise Failed(f"{session_file} holds the plug-in")
    values = {int(p): float(v) for v, p in re.findall(
        r'<Controllable [^>]*value="([^"]+)" parameter="(\d+)"', processor.group(0))}
    chunk = re.search(r"<chunk[^>]*>\s*([^<]*?)\s*</chunk>", processor.group(0))
    return values, base64.b64decode(chunk.group(1)) if chunk else b""


class EditorCheck:
    def __init__(self, product, root, build, work, screen):
        self.p = product
        self.root = root
        self.vsthost = os.path.join(build, "tools", "vsthost", "vsthost")
        self.plugin = os.path.join(build, "plugins", product.stem + ".so")
        self.work = work
        self.screen = screen
        self.session = os.path.join(work, "session")
        self.session_file = os.path.join(self.session, "check.ardour")
        self.env = dict(os.environ, XDG_CONFIG_HOME=os.path.join(work, "config"),
                        XDG_CACHE_HOME=os.path.join(work, "cache"), XDG_DATA_HOME=os.path.join(work, "data"),
                        LXVST_PATH=os.path.dirname(self.plugin), ARDOUR_CHECK_PLUGIN=self.plugin,
                        ARDOUR_CHECK_PLUGIN_ID=str(product.uid), ARDOUR_CHECK_PARAM_COUNT=str(product.params))
        self.ardour = None

    # ---- before Ardour's window

    def scan(self):
        # The scanner stamps its cache with the current whole second; a plug-in
        # written within that second would count as newer than its cache.
        wait_until(lambda: os.stat(self.plugin).st_mtime < time.time() - 1, 3, "the plug-in is older than now")
        scan = [SCANNER, "-f", "-q", self.plugin]
        env = dict(self.env, LD_LIBRARY_PATH="/usr/lib/ardour7")
        lua = ["ardour7-lua", os.path.join(self.root, "tools", "ardour", "session_check.lua")]
        # On a fresh configuration Ardour holds a plug-in scanned before its own
        # metadata existed for changed: scan, let Ardour list once, scan again.
        for command, log in ((scan, "scan.log"), (lua + ["list", os.path.join(self.work, "list")], "list.log"),
                             (scan, "scan-again.log")):
            if run(command, os.path.join(self.work, log), env, 120) != 0:
                raise Failed(f"{' '.join(command[:2])} ended with an error (log in {log})")
        ok("the scanner put the plug-in into Ardour's cache")

    def build_session(self):
        # Ardour's own side of the setup fails now and then on a busy machine
        # (ardour7-lua dying by a signal, the dummy engine recording nothing):
        # a failed setup is started once more from scratch, its log kept.
        lua = ["ardour7-lua", os.path.join(self.root, "tools", "ardour", "session_check.lua"), "gui",
               self.session, str(RATE), self.p.sets, str(self.p.automated)]
        log = os.path.join(self.work, "session.log")
        for attempt in (1, 2):
            shutil.rmtree(self.session, ignore_errors=True)
            code = run(lua, log, self.env, 120)
            if code == 0:
                break
            if attempt == 1:
                shutil.copy(log, os.path.join(self.work, "session-first.log"))
                print(f"ardour7-lua setup failed (exit {code}, log in session-first.log); once more", flush=True)
        for line in lines_starting(log, ("ok ", "FAIL ")):
            print("  " + line)
        if code != 0:
            raise Failed("ardour7-lua built the session")
        ok("ardour7-lua built the session: a sine on a track that carries the plug-in")
        self.pristine = os.path.join(self.work, "session-as-built")
        shutil.rmtree(self.pristine, ignore_errors=True)
        shutil.copytree(self.session, self.pristine)

    def reference(self):
        """Our test host's picture of the editor on the session's chunk, silent
        as a stopped transport; its window leaves the screen empty again."""
        _, chunk = saved_values(self.session_file, self.p.uid)
        chunk_path = os.path.join(self.work, "chunk-as-built.bin")
        open(chunk_path, "wb").write(chunk)
        self.reference_path = os.path.join(self.work, "vsthost-editor.ppm")
        self.screen.xdotool("mousemove", SCREEN[0] - 5, SCREEN[1] - 5)
        log = os.path.join(self.work, "vsthost-editor.log")
        for attempt in range(3):
            code = run([self.vsthost, self.plugin, "--chunk-in", chunk_path, "editor", "--silent",
                        "--timeout", "30", "--do", "wait 1500", "--do", "screenshot " + self.reference_path,
                        "--do", "close"], log, dict(self.env, DISPLAY=self.screen.env["DISPLAY"]), 60)
            if code == 0 or not re.search(DISPLAY_REFUSED, open(log).read()):
                break
        check(code == 0 and os.path.exists(self.reference_path), "our test host photographed the editor",
              f"status {code}, log in {log}")
        info = subprocess.run([self.vsthost, self.plugin, "info"], capture_output=True, text=True, timeout=30).stdout
        size = re.search(r"^editor: (\d+)x(\d+)$", info, re.M)
        self.rect = (int(size.group(1)), int(size.group(2)))
        ref = Picture(self.reference_path)
        check((ref.width, ref.height) == self.rect, f"the editor's rectangle is {self.rect[0]}x{self.rect[1]}")
        ref.save_png(os.path.join(self.screen.shots, "00-vsthost-editor.png"))
        self.reference_picture = ref

    def write_ardour_config(self):
        """Ardour's first start would ask questions; this configuration says it
        ran before and names the engine: the dummy, at the session's rate."""
        folder = os.path.join(self.work, "config", "ardour7")
        os.makedirs(folder, exist_ok=True)
        open(os.path.join(folder, ".a7"), "w").close()
        with open(os.path.join(folder, "config"), "w") as f:
            f.write(f"""<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
    <Option name="try-autostart-engine" value="1"/>
    <Option name="default-automation-time-domain" value="AudioTime"/>
  </Config>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="None (Dummy)" driver="Normal Speed" device="Sine Wave" input-device="" output-device=""
               sample-rate="{RATE}" buffer-size="1024" n-periods="2" input-latency="0" output-latency="0"
               input-channels="0" output-channels="0" active="1" use-buffered-io="0" midi-option=""
               lru="{int(time.time())}">
          <MIDIDevices/>
        </State>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
</Ardour>
""")

    # ---- Ardour's window

    def start_ardour(self):
        """Ardour with the session, up to its main window; a start that fails
        (it dies, or shows no window) is tried once more on a fresh copy."""
        self.windows_before = self.screen.root_windows()
        for attempt in (1, 2):
            log = os.path.join(self.work, f"ardour-{attempt}.log")
            self.ardour_log = log
            self.ardour = subprocess.Popen(
                ["ardour", "-n", "-a", self.session_file], stdout=open(log, "w"), stderr=subprocess.STDOUT,
                env=dict(self.env, DISPLAY=self.screen.env["DISPLAY"], ARDOUR_TRY_AUTOSTART_ENGINE="1"))
            try:
                shown = wait_until(lambda: self.ardour.poll() is not None or self.screen.windows("^check - Ardour$"),
                                   60, "Ardour shows the session")
                if self.ardour.poll() is not None:
                    raise Failed(f"Ardour ended with status {self.ardour.returncode} before it showed the session")
                self.main = shown[0]
                ok(f"Ardour shows the session (pid {self.ardour.pid})")
                return
            except Failed as failure:
                self.screen.shot("ardour-did-not-start")
                self.stop_ardour()
                if attempt == 2:
                    raise Failed(f"{failure}; log in {log}")
                print(f"Ardour did not come up ({failure}); once more, log in {log}", flush=True)
                shutil.rmtree(self.session)
                shutil.copytree(self.pristine, self.session)

    def stop_ardour(self):
        if self.ardour and self.ardour.poll() is None:
            self.ardour.terminate()
            try:
                self.ardour.wait(15)
            except subprocess.TimeoutExpired:
                self.ardour.kill()
                self.ardour.wait()

    def editor_window(self):
        found = self.screen.windows("^JYX editor$")
        return found[0] if len(found) == 1 else None

    def plugin_window(self):
        found = self.screen.windows("^Tone: JYX ")
        return found[0] if len(found) == 1 else None

    def open_from_mixer(self, what):
        picture = self.screen.shot()
        entry = processor_entry(picture)
        if not entry:
            self.screen.shot("no-processor-entry")
            raise Failed("the Mixer shows the plug-in in the track's processor box")
        x, y, w, h = entry
        self.screen.xdotool("mousemove", x + w // 2, y + h // 2, "click", "--repeat", 2, "--delay", 80, 1)
        self.editor = wait_until(lambda: (e := self.editor_window()) and (i := self.screen.info(e)) and
                                 i["viewable"] and e, 20, f"the editor {what} from the Mixer")
        info = self.screen.info(self.editor)
        self.origin = (info["x"], info["y"])
        self.screen.xdotool("mousemove", SCREEN[0] - 5, SCREEN[1] - 5)

    def editor_picture(self, name=None):
        """The editor's rectangle as the screen shows it, other windows over
        it included; kept as a PNG (with the whole screen) when named."""
        picture = self.screen.shot(area=(*self.origin, *self.rect))
        if name:
            self.screen.shot(name)
            picture.save_png(os.path.join(self.screen.shots, f"{self.screen.shot_count:02d}-{name}-editor.png"))
        return picture

    def differing(self, picture, other):
        return differing_pixels(picture, other, [self.p.field])[0]

    def wait_shows(self, expected, what):
        """Waits until the editor shows the expected picture (the counter
        aside); when it does not, keeps the last picture it showed and says
        where the two differ."""
        last = None

        def shows():
            nonlocal last
            last = self.editor_picture()
            return self.differing(last, expected) == 0 and last
        try:
            return wait_until(shows, 10, what, step=0.3)
        except Failed as failure:
            count, box = differing_pixels(last, expected, [self.p.field])
            name = os.path.join(self.screen.shots, f"{self.screen.shot_count + 1:02d}-differs-")
            last.save_png(name + "shown.png")
            expected.save_png(name + "expected.png")
            raise Failed(f"{failure}: {count} pixels differ within (x, y, w, h) {box}; "
                         f"the pictures are {name}shown.png and expected.png")

    def steady_picture(self, name):
        """The editor once two pictures half a second apart are the same."""
        previous = self.editor_picture()
        limit = time.monotonic() + 10
        while True:
            time.sleep(0.5)
            picture = self.editor_picture()
            if self.differing(picture, previous) == 0:
                self.editor_picture(name)
                return picture
            if time.monotonic() > limit:
                raise Failed("the editor's picture holds still (not within 10 s)")
            previous = picture

    def area_print(self, area):
        return zlib.crc32(self.editor_picture().area(*area))

    def meters_print(self):
        return tuple(self.area_print(m) for m in self.p.meters)

    def press(self, *keys):
        self.screen.xdotool("key", *keys)

    def point(self, x, y):
        self.screen.xdotool("mousemove", self.origin[0] + x, self.origin[1] + y)

    def save(self, what):
        before = os.stat(self.session_file).st_mtime_ns
        self.press("ctrl+s")
        wait_until(lambda: os.stat(self.session_file).st_mtime_ns != before, 15, f"Ctrl+S saves the session {what}")
        # Ardour writes the file in place: the next read must see all of it.
        wait_until(lambda: open(self.session_file, errors="replace").read().rstrip().endswith("</Session>"), 10,
                   "the saved session is complete")
        return saved_values(self.session_file, self.p.uid)

    def chunk_values(self, chunk, name):
        path = os.path.join(self.work, name)
        open(path, "wb").write(chunk)
        text = subprocess.run([self.vsthost, self.plugin, "--chunk-in", path, "params"], capture_output=True,
                              text=True, env=self.env, timeout=30).stdout
        return {int(i): float(v) for i, v in re.findall(r"^\s*(\d+)\s.*\s(\S+)\s*$", text, re.M)}

    def roll(self):
        """Space in the plug-in's window: the transport starts or stops."""
        self.screen.activate(self.plugin_toplevel)
        self.press("space")

    def check_all(self):
        p = self.p
        self.scan()
        self.build_session()
        self.reference()
        self.write_ardour_config()
        self.start_ardour()

        # The Mixer (Alt+M, pressed again when a busy Ardour missed it), and
        # the editor opened from its processor box.
        for attempt in range(3):
            self.screen.activate(self.main)
            self.press("alt+m")
            try:
                wait_until(lambda: processor_entry(self.screen.shot()), 8, "the Mixer shows the plug-in")
                break
            except Failed:
                if attempt == 2:
                    raise
        self.screen.shot("mixer")
        self.open_from_mixer("opens")
        self.plugin_toplevel = wait_until(self.plugin_window, 10, "Ardour's plug-in window is there")
        ok("a double-click in the Mixer's processor box opens the editor")
        mine, holder = self.screen.info(self.editor), self.screen.info(self.screen.info(self.editor)["parent"])
        outer = self.screen.info(self.plugin_toplevel)
        check(holder["w"] == self.rect[0] and holder["h"] >= self.rect[1] and (mine["x"], mine["y"]) ==
              (holder["x"], holder["y"]) and mine["w"] == self.rect[0] and mine["h"] >= self.rect[1],
              f"Ardour's window for the editor ({holder['w']}x{holder['h']}) holds the editor's rectangle, "
              f"the editor's window ({mine['w']}x{mine['h']}) fills it from its corner")
        check(outer["x"] <= mine["x"] and outer["y"] <= mine["y"] and
              mine["x"] + self.rect[0] <= min(outer["x"] + outer["w"], SCREEN[0]) and
              mine["y"] + self.rect[1] <= min(outer["y"] + outer["h"], SCREEN[1]),
              "the whole rectangle lies inside the plug-in's window, on the screen")
        opened = self.wait_shows(self.reference_picture, "the editor shows what our test host shows")
        self.editor_picture("opened")
        ok("the editor is fully painted: every pixel of its rectangle as our test host shows it")

        # Covered by another window, and shown again.
        x, y = self.origin
        cover = self.screen.start_client(
            ["xmessage", "-geometry", f"{self.rect[0] + 40}x{self.rect[1] + 40}+{x - 20}+{y - 20}",
             "another window over the editor"], lambda: self.differing(self.editor_picture(), opened) > 1000,
            "another window covers the editor")
        try:
            self.editor_picture("covered")
        finally:
            cover.terminate()
            cover.wait(10)
        self.wait_shows(opened, "the editor is shown again after another window covered it")
        self.editor_picture("uncovered")
        ok("the editor is shown again, whole, after another window covered it")

        # The meters on the sine, and Ardour's automation on a knob.
        rest = self.meters_print()
        knob_at_rest = self.area_print(p.automated_knob)
        self.roll()
        wait_until(lambda: all(a != b for a, b in zip(self.meters_print(), rest)), 10,
                   "the meters move while the transport rolls the sine")
        self.editor_picture("rolling")
        ok("the meters move while the transport rolls the sine")
        knob_prints = {knob_at_rest}
        wait_until(lambda: knob_prints.add(self.area_print(p.automated_knob)) or len(knob_prints) >= 3, 10,
                   "Ardour's automation playback moves the automated knob", step=0.2)
        ok(f"Ardour's automation playback moves the knob of parameter {p.automated}")
        self.roll()
        wait_until(lambda: self.meters_print() == rest, 15, "the meters fall to rest when the sine stops")
        self.editor_picture("stopped")
        ok("the meters fall to rest when the sine stops")
        self.roll()
        wait_until(lambda: all(a != b for a, b in zip(self.meters_print(), rest)), 10,
                   "the meters move again when the sine returns")
        ok("the meters move again when the sine returns")
        self.roll()
        wait_until(lambda: self.meters_print() == rest, 15, "the meters fall to rest once more")

        # A knob drag and a button click reach Ardour.
        # In the linear knob mode (the default) 30 pixels up turn it by a tenth.
        index, kx, ky = p.knob
        button, bx, by = p.button
        knob_area, button_area = (kx - 30, ky, 60, 60), (bx - 10, by - 10, 20, 20)
        knob_before, button_before = self.area_print(knob_area), self.area_print(button_area)
        self.screen.activate(self.plugin_toplevel)
        self.point(kx, ky)
        self.screen.xdotool("mousedown", 1)
        for dy in (10, 20, 30):
            self.point(kx, ky - dy)
        self.screen.xdotool("mouseup", 1)
        self.point(bx, by)
        self.screen.xdotool("click", 1)
        self.screen.xdotool("mousemove", SCREEN[0] - 5, SCREEN[1] - 5)
        wait_until(lambda: self.area_print(knob_area) != knob_before and self.area_print(button_area) !=
                   button_before, 10, "the knob and the button show the drag and the click")
        self.editor_picture("dragged-and-clicked")
        values, chunk = self.save("after the drag and the click")
        ours = self.chunk_values(chunk, "chunk-after-drag.bin")
        check(abs(values.get(index, -1) - 0.6) < 1e-6 and abs(ours.get(index, -1) - 0.6) < 1e-6,
              f"the drag set parameter {index} to 0.6 in Ardour's control and in the chunk",
              f"Ardour {values.get(index)}, chunk {ours.get(index)}")
        check(values.get(button) == 0 and ours.get(button) == 0,
              f"the click set parameter {button} to 0 in Ardour's control and in the chunk",
              f"Ardour {values.get(button)}, chunk {ours.get(button)}")

        # A typed value, then Space: the keyboard went back to Ardour.
        self.screen.activate(self.plugin_toplevel)
        host_focus = self.screen.focus()
        self.point(kx + 22, ky)
        self.screen.xdotool("click", "--repeat", 2, "--delay", 60, 1)
        wait_until(lambda: self.screen.focus() == self.editor, 10, "the value field takes the keyboard")
        self.press("End", *["BackSpace"] * 6)
        self.screen.xdotool("type", "--delay", 20, "--", "-6")
        self.editor_picture("typing")
        self.press("Return")
        try:
            wait_until(lambda: self.screen.focus() == host_focus, 10,
                       "Return gives the keyboard back to the window that had it")
        except Failed as failure:
            raise Failed(f"{failure}: it stays in window {self.screen.focus()} (the editor is {self.editor}), "
                         f"Ardour's was {host_focus}, so Space would start nothing")
        ok(f"the typed value's Return gave the keyboard back to Ardour's window {host_focus}")
        self.press("space")
        wait_until(lambda: all(a != b for a, b in zip(self.meters_print(), rest)), 10,
                   "Space after the typed value starts the transport")
        self.editor_picture("space-after-typing")
        ok("Space after the typed value starts Ardour's transport")
        self.press("space")
        wait_until(lambda: self.meters_print() == rest, 15, "Space stops the transport again")
        _, chunk = self.save("after the typed value")
        ours = self.chunk_values(chunk, "chunk-after-typing.bin")
        check(abs(ours.get(index, -1) - 0.375) < 1e-6, f"the chunk holds the typed -6 dB (parameter {index} 0.375)",
              f"it holds {ours.get(index)}")

        # Closed and opened again: what it showed.
        self.screen.xdotool("mousemove", SCREEN[0] - 5, SCREEN[1] - 5)
        before_close = self.steady_picture("before-closing")
        self.screen.activate(self.plugin_toplevel)
        self.press("alt+F4")
        wait_until(lambda: not (i := self.screen.info(self.plugin_toplevel)) or not i["viewable"], 10,
                   "Alt+F4 closes the plug-in's window")
        self.screen.shot("closed")
        ok("Alt+F4 closes the plug-in's window")
        self.screen.activate(self.main)
        self.open_from_mixer("reopens")
        self.wait_shows(before_close, "the editor reopens showing what it showed")
        self.editor_picture("reopened")
        ok("the editor reopens from the Mixer showing the current values")

        # Quit: status 0, no window left.
        self.screen.activate(self.main)
        self.save("before quitting")
        self.press("ctrl+q")
        try:
            code = self.ardour.wait(60)
        except subprocess.TimeoutExpired:
            self.screen.shot("did-not-quit")
            raise Failed("Ctrl+Q ends Ardour (not within 60 s)")
        check(code == 0, "Ardour quits with status 0", f"status {code}, log in {self.ardour_log}")
        wait_until(lambda: not (self.screen.root_windows() - self.windows_before), 10,
                   "Ardour leaves no window behind")
        check(not self.screen.windows("^JYX editor$"), "Ardour leaves no window behind")


def main(argv):
    if len(argv) < 3:
        print(__doc__)
        return 2
    root, build, chosen = argv[1], argv[2], argv[3:]
    work = os.path.join(build, "ardour-gui-check")
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    started = time.monotonic()
    status = 0
    screen = None
    try:
        screen = Screen(work, os.path.join(build, "tools", "vsthost", "xshot"))
        for product in [p for p in PRODUCTS if not chosen or p.stem in chosen]:
            if time.monotonic() > DEADLINE:
                print(f"FAIL the check ran out of time ({DEADLINE_SECONDS} s) before {product.stem}")
                status = 1
                break
            folder = os.path.join(work, product.stem)
            screen.shots = os.path.join(folder, "shots")
            screen.shot_count = 0
            os.makedirs(screen.shots)
            print(f"==== {product.stem}", flush=True)
            begun = time.monotonic()
            editor = EditorCheck(product, root, build, folder, screen)
            try:
                editor.check_all()
                print(f"== {product.stem}: passed in {time.monotonic() - begun:.0f} s", flush=True)
            except (Failed, subprocess.TimeoutExpired) as failure:
                print(f"FAIL {failure}", flush=True)
                try:
                    screen.shot("failed")
                except Failed:
                    pass
                status = 1
            finally:
                editor.stop_ardour()
            if status:
                break
    except Failed as failure:
        print(f"FAIL {failure}")
        status = 1
    finally:
        if screen:
            screen.close()
    elapsed = time.monotonic() - started
    verdict = "passed" if status == 0 else "FAILED"
    print(f"ardour-gui-check: {verdict} in {elapsed:.0f} s (logs and screenshots in {work})")
    return status


if __name__ == "__main__":
    sys.exit(main(sys.argv))
