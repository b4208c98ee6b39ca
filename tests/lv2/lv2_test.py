#!/usr/bin/env python3
"""The LV2 bundle checked with Debian's LV2 tools against the VST 2 plug-in of the same build.

    lv2_test.py describe|render|midi|jalv|jalv_ui|binary BIN_DIR

Each check works on copies of the bundle and of Quorvane.so in a scratch folder, each with
the default Quorvane.ini, so no file of the user's changes the outcome.
"""
import math
import os
import random
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time

UI = "https://quorvane.audio/lv2/ui"
PLUGINS = {"stereo": ("https://quorvane.audio/lv2/stereo", 2), "mono": ("https://quorvane.audio/lv2/mono", 1)}
RATES = (44100, 96000)
SPECS = ("schemas", "core", "atom", "midi", "options", "presets", "ui", "units", "urid")
# The values a host's choice of the four stage counts writes.
STAGE_POINTS = ("0.0", "0.333333343", "0.666666687", "1.0")


def run(*command, env=None, check=True, stdin=None):
    result = subprocess.run(command, capture_output=True, text=True, env=env, stdin=stdin)
    if check and result.returncode != 0:
        sys.exit(f"FAIL: {' '.join(command)} exited {result.returncode}\n{result.stdout}{result.stderr}")
    return result


class Setup:
    def __init__(self, bin_dir, work):
        self.bin = bin_dir
        self.render_tool = os.path.join(bin_dir, "quorvane-render")
        lv2_dir = os.path.join(work, "lv2")
        self.bundle = os.path.join(lv2_dir, "Quorvane.lv2")
        shutil.copytree(os.path.join(bin_dir, "Quorvane.lv2"), self.bundle,
                        ignore=shutil.ignore_patterns("Quorvane.ini"))
        self.env = dict(os.environ, LV2_PATH=lv2_dir + ":/usr/lib/lv2")
        # The VST 2 plug-in's channel count comes from its Quorvane.ini.
        self.vst = {}
        for channels in (2, 1):
            folder = os.path.join(work, f"vst{channels}")
            os.mkdir(folder)
            self.vst[channels] = os.path.join(folder, "Quorvane.so")
            shutil.copy(os.path.join(bin_dir, "Quorvane.so"), folder)
            run(self.render_tool, "--list", self.vst[channels])
            ini = os.path.join(folder, "Quorvane.ini")
            text = open(ini).read().replace("NUMCHANNELS 2", f"NUMCHANNELS {channels}")
            open(ini, "w").write(text)
        self.work = work

    def vst_listing(self, *options):
        """Parameters (name, value, display, label) and program names as quorvane-render lists them."""
        out = run(self.render_tool, "--list", *options, self.vst[2]).stdout
        parameters, programs = [], []
        section = None
        for line in out.splitlines():
            if line.startswith("parameters"):
                section = parameters
            elif line.startswith("programs"):
                section = programs
            elif section is parameters and line.strip():
                m = re.match(r"\s+\d+  (.{16})  (\S+)  (.*)$", line)
                name, value, rest = m.group(1).strip(), m.group(2), m.group(3)
                display, _, label = rest.rpartition(" ")
                if label in ("%",):  # a label of two words: "Gain %"
                    display, _, first = display.rpartition(" ")
                    label = first + " " + label
                parameters.append((name, value, display, label))
            elif section is programs and line.strip():
                programs.append(re.match(r"\s+\d+  (.*)$", line).group(1))
        return parameters, programs


def write_test_file(path, rate, channels, seconds=0.4):
    """A float WAV: a rising sweep in each channel, a different one per channel, with bursts of noise."""
    rng = random.Random(rate * 10 + channels)
    frames = int(rate * seconds)
    data = bytearray()
    for i in range(frames):
        t = i / rate
        for c in range(channels):
            burst = 0.4 if (i // 3000) % 2 else 0.02
            v = 0.5 * math.sin(2 * math.pi * (80 + 60 * c) * t * (1 + 4 * t)) + burst * (2 * rng.random() - 1)
            data += struct.pack("<f", v)
    fmt = struct.pack("<HHIIHH", 3, channels, rate, rate * channels * 4, channels * 4, 32)
    body = b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", len(data)) + data
    with open(path, "wb") as f:
        f.write(b"RIFF" + struct.pack("<I", len(body)) + body)


def samples(path):
    data = open(path, "rb").read()
    i = 12
    while i < len(data):
        size = int.from_bytes(data[i + 4:i + 8], "little")
        if data[i:i + 4] == b"data":
            return data[i + 8:i + 8 + size]
        i += 8 + size + (size & 1)
    sys.exit(f"FAIL: no samples in {path}")


def compare(case, lv2_out, vst_out, failures):
    a, b = samples(lv2_out), samples(vst_out)
    if a != b:
        first = next((k // 4 for k in range(0, min(len(a), len(b)), 4) if a[k:k + 4] != b[k:k + 4]), None)
        failures.append(f"{case}: LV2 output differs from VST 2 ({len(a)} vs {len(b)} bytes, first sample {first})")


def symbol_of(name):
    return re.sub(r"[^a-z0-9]+", "_", name.lower()).strip("_")


def check_describe(s):
    failures = []
    listed = run("lv2ls", env=s.env).stdout.split()
    parameters, programs = s.vst_listing()
    graph = {}  # subject -> the end of the predicate's URI -> objects
    for line in run("sordi", os.path.join(s.bundle, "Quorvane.ttl")).stdout.splitlines():
        subject, predicate, rest = line.split(" ", 2)
        key = re.sub(r"^.*/", "", predicate.strip("<>"))
        graph.setdefault(subject, {}).setdefault(key, []).append(rest.rsplit(" ", 1)[0].split("^^")[0])
    for variant, (uri, channels) in PLUGINS.items():
        if uri not in listed:
            failures.append(f"lv2ls does not list {uri}")
            continue
        info = run("lv2info", uri, env=s.env).stdout
        ports = re.split(r"\n\tPort \d+:\n", info)[1:]
        if len(ports) != 9 + 2 * channels + 1:
            failures.append(f"{variant}: {len(ports)} ports")
        for index, (name, value, display, label) in enumerate(parameters):
            port = ports[index]
            expected = {"Name": name, "Symbol": symbol_of(name), "Default": value, "Minimum": "0.000000", "Maximum": "1.000000"}
            for key, want in expected.items():
                got = re.search(rf"\t\t{key}:\s+(.*)", port)
                if not got or got.group(1) != want:
                    failures.append(f"{variant} port {index} {key}: {got and got.group(1)!r}, VST 2 {want!r}")
        # Each control port's unit carries the VST 2 label.
        for port in graph.get(f"<{uri}>", {}).get("lv2core#port", []):
            index = int(graph[port]["lv2core#index"][0].split('"')[1])
            unit = graph[port].get("units#unit", ["none"])[0]
            label = graph.get(unit, {}).get("rdf-schema#label", ['"none"'])[0].strip('"')
            if index < 9 and label != parameters[index][3]:
                failures.append(f"{variant} port {index} unit {label!r}, VST 2 label {parameters[index][3]!r}")
        # Scale points: Mode's two ends and the four stage counts, labelled as VST 2 shows them.
        for index, values in ((1, ("0.0", "1.0")), (2, STAGE_POINTS)):
            port = ports[index]
            for v in values:
                shown = s.vst_listing("--param", f"{index}={v}")[0][index][2]
                if f'{v} = "{shown}"' not in port:
                    failures.append(f"{variant} port {index}: no scale point {v} = {shown!r}")
            if "lv2core#enumeration" not in port:
                failures.append(f"{variant} port {index}: not a choice (no enumeration)")
        presets = re.search(r"Presets: \n((?:\t {9}.*\n)*)", info)
        names = sorted(line.strip() for line in presets.group(1).splitlines()) if presets else []
        if names != sorted(programs):
            failures.append(f"{variant} presets {names}, VST 2 programs {programs}")
        if "hardRTCapable" not in info or "Filter Plugin" not in info:
            failures.append(f"{variant}: not hard-RT capable or not a filter")
        # The maker and the version, as the VST 2 plug-in names them to hosts.
        vst = run(s.render_tool, "--list", s.vst[2]).stdout
        vendor = re.search(r"vendor:\s+(.*)", vst).group(1)
        version = re.search(r"product:\s+.* \d+\.(\d+)(?:\.(\d+))?,", vst).groups()
        author = re.search(r"\tAuthor:\s+(.*)", info)
        if not author or not author.group(1).strip() or f"Author Email:      mailto:{vendor}\n" not in info:
            failures.append(f"{variant}: author {author and author.group(1)!r}, email not the VST 2 vendor {vendor!r}")
        described = tuple(graph[f"<{uri}>"].get(f"lv2core#{k}Version", ['"none"'])[0].strip('"') for k in ("minor", "micro"))
        if described != (version[0], version[1] or "0"):
            failures.append(f"{variant}: LV2 version 0.{described[0]}.{described[1]}, VST 2 product {version}")
        if not re.search(rf"UIs:\n\t\t{re.escape(UI)}\n\t\t\tClass:  \S+#X11UI\n\t\t\tBinary: \S+/Quorvane_ui.so\n", info):
            failures.append(f"{variant}: no X11 UI in Quorvane_ui.so")
    # The bundle adds no error to those the specifications report on their own.
    specs = [os.path.join(d, f) for d in (f"/usr/lib/lv2/{n}.lv2" for n in SPECS) for f in sorted(os.listdir(d)) if f.endswith(".ttl")]
    ours = [os.path.join(s.bundle, f) for f in ("manifest.ttl", "Quorvane.ttl", "presets.ttl")]
    def errors(files):
        out = run("sord_validate", "-l", *files, check=False)
        return sorted(line for line in (out.stdout + out.stderr).splitlines() if "rror" in line and not line.startswith("Found"))
    alone, together = errors(specs), errors(specs + ours)
    if together != alone:
        failures.append("sord_validate: " + "\n".join(sorted(set(together) - set(alone))))
    return failures


def check_render(s):
    failures = []
    _, programs = s.vst_listing()
    controls = {}  # each program's values by port symbol
    for program in programs:
        controls[program] = {symbol_of(name): value for name, value, _, _ in s.vst_listing("--program", program)[0]}
    # Every program, then the first with each stage count that a host's choice writes.
    cases = [(repr(program), program, controls[program], []) for program in programs]
    cases += [(f"{programs[0]!r} stages {v}", programs[0], dict(controls[programs[0]], stages=v), ["--param", f"2={v}"])
              for v in STAGE_POINTS]
    for rate in RATES:
        for variant, (uri, channels) in PLUGINS.items():
            source = os.path.join(s.work, f"in-{rate}-{channels}.wav")
            write_test_file(source, rate, channels)
            for case, program, values, vst_options in cases:
                lv2_out, vst_out = (os.path.join(s.work, f"{side}.wav") for side in ("lv2", "vst"))
                options = [a for symbol, value in values.items() for a in ("-c", symbol, value)]
                run("lv2apply", "-i", source, "-o", lv2_out, *options, uri, env=s.env)
                run(s.render_tool, "-q", "--bits", "float", "--program", program, *vst_options, s.vst[channels], source, vst_out)
                compare(f"{variant} {rate} Hz {case}", lv2_out, vst_out, failures)
    return failures


# MIDI through the atom port, and the presets as a host loads them, by our lilv host; the
# default Quorvane.ini maps CC 11 to Cutoff (0..0.5), 78 to Reso, 71 to Env Amt, 76 to Mode.
MIDI_CASES = (
    ("cutoff sweep", ["--program", "LPF"], [f"{i * 0.02:.2f}:11={i * 6}" for i in range(22)]),
    ("reso and mode", ["--program", "Ray Gun"], [f"{i * 0.03:.2f}:78={127 - i * 10}" for i in range(13)] + ["0.2:76=0", "0.3:76=127"]),
    ("envelope sweep", ["--program", "Ottawa"], [f"{i * 0.025:.3f}:71={i * 8}" for i in range(16)]),
)


def check_midi(s):
    failures = []
    host = os.path.join(s.bin, "quorvane-lv2-host")
    monitor = os.path.join(s.bin, "quorvane-rt-monitor.so")
    for rate in RATES:
        for variant, (uri, channels) in PLUGINS.items():
            source = os.path.join(s.work, f"in-{rate}-{channels}.wav")
            write_test_file(source, rate, channels)
            for case, program, events in MIDI_CASES:
                ccs = [a for e in events for a in ("--cc", e)]
                lv2_out, vst_out = (os.path.join(s.work, f"{side}.wav") for side in ("lv2", "vst"))
                env = dict(s.env, LD_PRELOAD=monitor)
                run(host, "--rt", *program, *ccs, uri, source, lv2_out, env=env)
                run(s.render_tool, "-q", "--bits", "float", *program, *ccs, s.vst[channels], source, vst_out)
                compare(f"{variant} {rate} Hz {case}", lv2_out, vst_out, failures)
    return failures


def check_jalv(s):
    failures = []
    parameters, _ = s.vst_listing()
    server = f"quorvane-lv2-test-{os.getpid()}"
    jackd = subprocess.Popen(["jackd", "-n", server, "-d", "dummy", "-r", "48000", "-p", "512"],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        env = dict(s.env, JACK_DEFAULT_SERVER=server, JACK_NO_START_SERVER="1")
        for variant, (uri, _) in PLUGINS.items():
            for attempt in range(20):  # until the server is up
                # jalv reads commands from its standard input and stops at its end: a second.
                sleeper = subprocess.Popen(["sleep", "1"], stdout=subprocess.PIPE)
                result = subprocess.run(["jalv", uri], stdin=sleeper.stdout, capture_output=True, text=True, env=env, timeout=60)
                sleeper.wait()
                if "Failed to connect to audio system" not in result.stdout + result.stderr:
                    break
                time.sleep(0.5)
            started = re.search(r"Sample rate:\s+48000 Hz", result.stdout)
            defaults = [f"{symbol_of(name)} = {value}" for name, value, _, _ in parameters]
            if result.returncode != 0 or not started or not all(d in result.stdout for d in defaults):
                failures.append(f"jalv {variant}: exit {result.returncode}\n{result.stdout}{result.stderr}")
    finally:
        jackd.terminate()
        jackd.wait()
    return failures


# jalv.gtk3 picks the panel, suil loads it without an error, and jalv keeps running with
# it open for two seconds.
def run_jalv_ui(s, extra_env, while_running, extra_args=()):
    """jalv.gtk3 with the UI on a private dummy JACK server; while_running() is called
    once the UI is up and its answer returned with jalv's output and whether it ran."""
    server = f"quorvane-lv2-ui-test-{os.getpid()}"
    jackd = subprocess.Popen(["jackd", "-n", server, "-d", "dummy", "-r", "48000", "-p", "512"],
                             stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    log = os.path.join(s.work, "jalv.log")
    seen = None
    try:
        env = dict(s.env, JACK_DEFAULT_SERVER=server, JACK_NO_START_SERVER="1", **extra_env)
        for attempt in range(20):  # until the server is up
            with open(log, "w") as out:
                # Line-buffered, so what jalv printed is there when it is stopped.
                jalv = subprocess.Popen(["stdbuf", "-oL", "jalv.gtk3", *extra_args, PLUGINS["stereo"][0]],
                                        stdout=out, stderr=subprocess.STDOUT, env=env)
            deadline = time.monotonic() + 30
            while jalv.poll() is None and "UI:" not in open(log).read() and time.monotonic() < deadline:
                time.sleep(0.1)
            time.sleep(2)
            if jalv.poll() is None:
                seen = while_running()
            running = jalv.poll() is None
            jalv.terminate()
            jalv.wait()
            output = open(log).read()
            if "Failed to connect to audio system" not in output:
                break
            time.sleep(0.5)
    finally:
        jackd.terminate()
        jackd.wait()
    return seen, output, running and f"UI:           {UI}" in output and "error" not in output


def window_tree():
    """(name, width, height, x, y, id) of every window, x and y on the screen, from xwininfo."""
    tree = run("xwininfo", "-root", "-tree").stdout
    return [(m[2], int(m[3]), int(m[4]), int(m[5]), int(m[6]), int(m[1], 16))
            for m in re.finditer(r'(0x[0-9a-f]+) (".*?"|\(has no name\)).*?(\d+)x(\d+)[+-]-?\d+[+-]-?\d+ +\+(-?\d+)\+(-?\d+)', tree)]


def drag_and_ping(seconds=2.0):
    """Drags round the Cutoff knob of the panel jalv shows for two seconds with XTest while
    pinging jalv's window (_NET_WM_PING) every 20 ms: the longest wait for an answer, and
    whether the knob turned."""
    import ctypes
    import ctypes.util
    import select
    x11 = ctypes.CDLL(ctypes.util.find_library("X11"))
    xtst = ctypes.CDLL(ctypes.util.find_library("Xtst"))
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XDefaultRootWindow.restype = ctypes.c_ulong
    x11.XInternAtom.restype = ctypes.c_ulong
    for f in ("XDefaultRootWindow", "XInternAtom", "XSelectInput", "XSendEvent", "XFlush", "XPending",
              "XNextEvent", "XConnectionNumber", "XCloseDisplay", "XSync"):
        getattr(x11, f).argtypes = None
    class ClientMessage(ctypes.Structure):
        _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                    ("display", ctypes.c_void_p), ("window", ctypes.c_ulong), ("message_type", ctypes.c_ulong),
                    ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]
    class Event(ctypes.Union):
        _fields_ = [("type", ctypes.c_int), ("xclient", ClientMessage), ("pad", ctypes.c_long * 24)]
    class Image(ctypes.Structure):
        _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                    ("format", ctypes.c_int), ("data", ctypes.c_void_p), ("ints", ctypes.c_int * 6)]
    x11.XGetImage.restype = ctypes.POINTER(Image)
    x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                              ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]

    def knob_pixels():
        image = x11.XGetImage(d, panel[0][5], 306, 76, 94, 94, ctypes.c_ulong(-1).value, 2)
        if not image:
            return b""
        pixels = ctypes.string_at(image.contents.data, image.contents.ints[5] * 94)
        x11.XDestroyImage(image)
        return pixels
    windows = window_tree()
    top = [w for w in windows if w[0] == '"Quorvane Stereo"']
    panel = [w for w in windows if (w[1], w[2]) == (800, 212)]
    if not top or not panel:
        return None
    d = ctypes.c_void_p(x11.XOpenDisplay(None))
    root = ctypes.c_ulong(x11.XDefaultRootWindow(d))
    protocols = ctypes.c_ulong(x11.XInternAtom(d, b"WM_PROTOCOLS", 0))
    ping = x11.XInternAtom(d, b"_NET_WM_PING", 0)
    # GTK answers a ping to the root window, to whoever redirects it (no window manager here).
    x11.XSelectInput(d, root, ctypes.c_long(0x180000))
    before = knob_pixels()
    cx, cy = panel[0][3] + 353, panel[0][4] + 123  # Cutoff's centre
    xtst.XTestFakeMotionEvent(d, -1, cx - 21, cy + 21, ctypes.c_ulong(0))
    xtst.XTestFakeButtonEvent(d, 1, 1, ctypes.c_ulong(0))
    x11.XSync(d, 0)
    longest, start, serial = 0.0, time.monotonic(), 0
    while time.monotonic() - start < seconds:
        angle = math.radians(225 - 270 * (time.monotonic() - start) / seconds)
        xtst.XTestFakeMotionEvent(d, -1, int(cx + 30 * math.cos(angle)), int(cy - 30 * math.sin(angle)), ctypes.c_ulong(0))
        serial += 1
        event = Event()
        event.xclient.type, event.xclient.window, event.xclient.message_type = 33, top[0][5], protocols
        event.xclient.format = 32
        event.xclient.data[0], event.xclient.data[1], event.xclient.data[2] = ping, serial, top[0][5]
        sent = time.monotonic()
        x11.XSendEvent(d, ctypes.c_ulong(top[0][5]), 0, ctypes.c_long(0), ctypes.byref(event))
        x11.XFlush(d)
        answered = False
        while not answered and time.monotonic() - sent < 5:
            if x11.XPending(d) == 0:
                select.select([x11.XConnectionNumber(d)], [], [], 0.005)
                continue
            reply = Event()
            x11.XNextEvent(d, ctypes.byref(reply))
            answered = reply.type == 33 and reply.xclient.data[0] == ping and reply.xclient.data[1] == serial
        longest = max(longest, time.monotonic() - sent)
        time.sleep(0.02)
    xtst.XTestFakeButtonEvent(d, 1, 0, ctypes.c_ulong(0))
    x11.XSync(d, 0)
    time.sleep(0.3)
    turned = knob_pixels() != before
    x11.XCloseDisplay(d)
    return longest, turned


def check_jalv_ui(s):
    failures = []
    # jalv's window answers at once all through a two-second drag that turns the knob.
    seen, output, ok = run_jalv_ui(s, {}, drag_and_ping)
    if not ok:
        failures.append(f"jalv.gtk3: {output}")
    elif seen is None or seen[0] > 0.1 or not seen[1]:
        failures.append(f"jalv.gtk3 during a drag: (longest answer in s, knob turned) {seen}")
    # Under GTK's own 2x scaling the panel draws at 2x and asks for its size in GTK's units:
    # the window is as wide as the panel, taller only by jalv's menu bar.
    windows, output, ok = run_jalv_ui(s, {"GDK_SCALE": "2"}, window_tree)
    top = [w for w in windows or [] if w[0] == '"Quorvane Stereo"']
    panel = [w for w in windows or [] if (w[1], w[2]) == (1600, 424)]
    if not ok or not top or not panel:
        failures.append(f"jalv.gtk3 under GDK_SCALE=2: no window of the panel's size among {windows}\n{output}")
    else:
        (_, width, height, x, y, _), (_, pw, ph, px, py, _) = top[0], panel[0]
        menu = py - y
        if abs(width - pw) > 2 or px != x or height != ph + menu or not 0 < menu < 100:
            failures.append(f"jalv.gtk3 under GDK_SCALE=2: window {width}x{height}, panel {pw}x{ph} at +{px - x}+{menu}")
    return failures


def check_binary(s):
    failures = []
    # The linker's own section markers aside.
    ui_exports = [name for name in run("nm", "-D", "--defined-only", os.path.join(s.bundle, "Quorvane_ui.so")).stdout.split()[2::3]
                  if name not in ("__bss_start", "_edata", "_end")]
    if ui_exports != ["lv2ui_descriptor"]:
        failures.append(f"the UI binary exports {ui_exports}")
    binary = os.path.join(s.bundle, "Quorvane_dsp.so")
    libraries = run("ldd", binary).stdout
    for unwanted in ("libX11", "libfreetype", "libfontconfig", "libxcb"):
        if unwanted in libraries:
            failures.append(f"the DSP binary links {unwanted}")
    exported = run("nm", "-D", "--defined-only", binary).stdout.split()[2::3]
    if exported != ["lv2_descriptor"]:
        failures.append(f"the DSP binary exports {exported}")
    return failures


def main():
    check, bin_dir = sys.argv[1], os.path.abspath(sys.argv[2])
    for tool in ("lv2ls", "lv2info", "lv2apply", "sord_validate", "sordi", "jalv", "jalv.gtk3", "jackd"):
        if not shutil.which(tool):
            sys.exit(f"FAIL: {tool} is missing (packages lilv-utils, sordi, jalv, jackd2)")
    with tempfile.TemporaryDirectory() as work:
        failures = globals()["check_" + check](Setup(bin_dir, work))
    for failure in failures:
        print("FAIL:", failure)
    sys.exit(1 if failures else 0)


if __name__ == "__main__":
    main()
