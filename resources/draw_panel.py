#!/usr/bin/python3
"""Draws the front panel's PNGs into resources/img/.

Where things sit comes from plugin/ZAVROLayout.h, and each knob scale's range
and response from the parameter table in plugin/ZAVRO.cpp, so the artwork
follows the code. Knob frame f (1-based) shows the normalised value
(f - 1) / (frames - 1), and the scale printed around the knob on the
background uses the same sweep, so the pointer lands on the printed value.

Needs Debian's python3-cairo, fonts-dejavu-core and fonts-dejavu-extra.
Run from anywhere:  /usr/bin/python3 resources/draw_panel.py [--preview FILE]
"""

import argparse
import contextlib
import math
import os
import random
import re
import sys

import cairo

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
FONT = "DejaVu Sans Condensed"

# The pointer's sweep, clockwise from twelve o'clock: the same for every knob
# and for the scales printed around them.
SWEEP_START = math.radians(-135.0)
SWEEP_SPAN = math.radians(270.0)

# Colours (r, g, b in 0..1).
PANEL_TOP = (0.19, 0.20, 0.22)
PANEL_BOTTOM = (0.14, 0.15, 0.165)
INK = (0.90, 0.87, 0.80)          # legends printed on the panel
INK_DIM = (0.62, 0.60, 0.56)      # scale numbers and small print
DISPLAY = (0.055, 0.055, 0.063)   # the caption windows
LED_AMBER = (1.0, 0.66, 0.16)
LED_RED = (0.95, 0.17, 0.12)

# Cap colours of the gain knobs, one per band, as on the hardware's colour code.
BAND_COLOURS = {
    "low": (0.66, 0.18, 0.16),
    "lowmid": (0.78, 0.52, 0.12),
    "highmid": (0.24, 0.52, 0.33),
    "high": (0.19, 0.40, 0.66),
}
IVORY = (0.80, 0.77, 0.70)  # caps of the output knobs, marks of their legends


def band_of(param):
    """The band a gain or frequency parameter belongs to, or None."""
    m = re.fullmatch(r"k(?:LM|RS)(LowMid|HighMid|Low|High)(?:Gain|Freq)", param)
    return m.group(1).lower() if m else None


def die(message):
    sys.exit("draw_panel: " + message)


# ---------------------------------------------------------------- the tables

def read(relative):
    with open(os.path.join(ROOT, relative), encoding="utf-8") as f:
        return f.read()


def parse_layout():
    text = read("plugin/ZAVROLayout.h")
    layout = {}
    for name in ("kEditorWidth", "kEditorHeight"):
        m = re.search(r"constexpr int %s = (\d+);" % name, text)
        if not m:
            die("no %s in the layout header" % name)
        layout[name] = int(m.group(1))
    strips = {}
    for m in re.finditer(r'\{(\d+), "([^"]+)", (\d+), (\d+), (\d+)\}', text):
        rid, file_name, frames, w, h = m.groups()
        strips[int(rid)] = {"file": file_name, "frames": int(frames), "w": int(w), "h": int(h)}
    controls = []
    for m in re.finditer(r"\{ControlKind::(\w+), (\d+), (\d+), (\d+), (\w+), (\w+), ([\d.]+)\}", text):
        kind, rid, left, top, param = m.group(1), int(m.group(2)), int(m.group(3)), int(m.group(4)), m.group(5)
        strip = strips.get(rid)
        if strip is None:
            die("control with unknown image %d" % rid)
        controls.append({"kind": kind, "id": rid, "param": param, "strip": strip,
                         "rect": (left, top, left + strip["w"], top + strip["h"])})
    captions = [tuple(int(v) for v in m.groups()[:4])
                for m in re.finditer(r"\{(\d+), (\d+), (\d+), (\d+), k\w+\}", text)]
    if len(strips) != 27 or len(controls) != 27 or len(captions) != 19:
        die("the layout header's tables did not parse (%d strips, %d controls, %d captions)"
            % (len(strips), len(controls), len(captions)))
    layout.update(strips=strips, controls=controls, captions=captions)
    return layout


def parse_params():
    """Range, default and response shape of each declared parameter."""
    text = read("plugin/ZAVRO.cpp")
    constants = {m.group(1): float(m.group(2))
                 for m in re.finditer(r"constexpr double (k\w+) = ([-\d.]+);", text)}

    def number(token):
        return constants[token] if token in constants else float(token)

    shape = 1.0
    m = re.search(r"InitContinuous\([^;]*?, ([\d.]+)\);", text)
    if m:
        shape = float(m.group(1))
    m = re.search(r"SetShape\(([\d.]+)\);", text)
    if m:
        shape = float(m.group(1))
    params = {}
    for m in re.finditer(r'\{(k\w+), "[^"]*", ([-\w.]+), ([-\w.]+), ([-\w.]+), ([-\w.]+)\}', text):
        name, default, lo, hi, _step = m.groups()
        params[name] = {"default": number(default), "min": number(lo), "max": number(hi), "shape": shape}
    for m in re.finditer(r'\{(k\w+), "[^"]*", (-?\d+), (-?\d+), (-?\d+)\}', text):
        name, default, lo, hi = m.groups()
        params[name] = {"default": float(default), "min": float(lo), "max": float(hi), "shape": 1.0}
    if len(params) != 26:
        die("the parameter table did not parse (%d parameters)" % len(params))
    return params


def normalised(param, value):
    """The parameter's own mapping of a plain value to 0..1."""
    v = min(max(value, param["min"]), param["max"])
    return ((v - param["min"]) / (param["max"] - param["min"])) ** (1.0 / param["shape"])


def pointer_angle(n):
    return SWEEP_START + SWEEP_SPAN * n


def polar(cx, cy, radius, angle):
    return cx + radius * math.sin(angle), cy - radius * math.cos(angle)


# ------------------------------------------------------------- drawing helpers

def new_context(surface):
    ctx = cairo.Context(surface)
    options = cairo.FontOptions()
    options.set_antialias(cairo.ANTIALIAS_GRAY)
    options.set_hint_style(cairo.HINT_STYLE_SLIGHT)
    options.set_hint_metrics(cairo.HINT_METRICS_OFF)
    ctx.set_font_options(options)
    return ctx


def rounded_rect(ctx, x, y, w, h, r):
    ctx.new_sub_path()
    ctx.arc(x + w - r, y + r, r, -math.pi / 2, 0)
    ctx.arc(x + w - r, y + h - r, r, 0, math.pi / 2)
    ctx.arc(x + r, y + h - r, r, math.pi / 2, math.pi)
    ctx.arc(x + r, y + r, r, math.pi, 3 * math.pi / 2)
    ctx.close_path()


def text_box(ctx, text, size, bold=True):
    """Selects the font and measures the text."""
    ctx.select_font_face(FONT, cairo.FONT_SLANT_NORMAL,
                         cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    ctx.set_font_size(size)
    return ctx.text_extents(text)


def draw_text(ctx, text, x, y, size, colour, bold=True, align="centre", spacing=0.0):
    """Text with its ink centred vertically on y; x is its centre, left or right edge."""
    ext = text_box(ctx, text, size, bold)
    width = ext.x_advance + spacing * (len(text) - 1)
    if align == "centre":
        left = x - width / 2
    elif align == "right":
        left = x - width
    else:
        left = x
    baseline = y - (ext.y_bearing + ext.height / 2)
    ctx.set_source_rgb(*colour)
    if spacing == 0.0:
        ctx.move_to(left, baseline)
        ctx.show_text(text)
    else:
        pen = left
        for ch in text:
            ctx.move_to(pen, baseline)
            ctx.show_text(ch)
            pen += ctx.text_extents(ch).x_advance + spacing
    return (left, y - ext.height / 2, left + width, y + ext.height / 2)


def boxes_meet(a, b, margin=0.0):
    return a[0] - margin < b[2] and b[0] - margin < a[2] and a[1] - margin < b[3] and b[1] - margin < a[3]


def grain(width, height, seed, alpha, stretch):
    """A seeded grey grain, streaked horizontally like brushed metal."""
    rng = random.Random(seed)
    w = max(1, width // stretch + 2)
    noise = rng.randbytes(w * height)
    buf = bytearray(w * height * 4)
    premultiplied = bytes(v * alpha // 255 for v in range(256))
    grey = noise.translate(premultiplied)
    buf[0::4] = grey
    buf[1::4] = grey
    buf[2::4] = grey
    buf[3::4] = bytes([alpha]) * (w * height)
    small = cairo.ImageSurface.create_for_data(buf, cairo.FORMAT_ARGB32, w, height, w * 4)
    big = cairo.ImageSurface(cairo.FORMAT_ARGB32, width, height)
    ctx = cairo.Context(big)
    ctx.scale(stretch, 1)
    ctx.set_source_surface(small, 0, 0)
    ctx.get_source().set_filter(cairo.FILTER_BILINEAR)
    ctx.paint()
    return big


# ----------------------------------------------------------------- the knobs

@contextlib.contextmanager
def frame_cell(ctx, w, h, f):
    """Confines drawing to frame f of a strip, so no shadow or glow spills
    into the next frame."""
    ctx.save()
    ctx.rectangle(0, f * h, w, h)
    ctx.clip()
    try:
        yield
    finally:
        ctx.restore()


def knob_face(param):
    """Cap colour and trim of a knob bound to this parameter."""
    band = band_of(param)
    if band is None:
        return IVORY, None
    if param.endswith("Gain"):
        return BAND_COLOURS[band], None
    return (0.46, 0.47, 0.50), BAND_COLOURS[band]


def draw_knob(ctx, cx, cy, radius, angle, cap, trim):
    # Shadow on the panel, lit from above.
    shadow = cairo.RadialGradient(cx, cy + 2.0, radius * 0.6, cx, cy + 2.0, radius + 2.5)
    shadow.add_color_stop_rgba(0, 0, 0, 0, 0.55)
    shadow.add_color_stop_rgba(1, 0, 0, 0, 0)
    ctx.set_source(shadow)
    ctx.arc(cx, cy + 2.0, radius + 2.5, 0, 2 * math.pi)
    ctx.fill()

    # Skirt: black anodised body with grip ribs that turn with the knob.
    body = cairo.LinearGradient(0, cy - radius, 0, cy + radius)
    body.add_color_stop_rgb(0, 0.20, 0.205, 0.215)
    body.add_color_stop_rgb(1, 0.055, 0.058, 0.065)
    ctx.set_source(body)
    ctx.arc(cx, cy, radius, 0, 2 * math.pi)
    ctx.fill()
    ctx.set_line_width(1.1)
    for i in range(36):
        a = angle + i * 2 * math.pi / 36
        light = 0.30 + 0.12 * math.cos(a)  # ribs facing the light catch it
        ctx.set_source_rgba(light, light, light + 0.01, 0.55)
        ctx.move_to(*polar(cx, cy, radius - 3.2, a))
        ctx.line_to(*polar(cx, cy, radius - 0.6, a))
        ctx.stroke()
    rim = cairo.LinearGradient(0, cy - radius, 0, cy + radius)
    rim.add_color_stop_rgba(0, 1, 1, 1, 0.35)
    rim.add_color_stop_rgba(0.5, 1, 1, 1, 0.0)
    rim.add_color_stop_rgba(1, 0, 0, 0, 0.5)
    ctx.set_source(rim)
    ctx.set_line_width(1.0)
    ctx.arc(cx, cy, radius - 0.5, 0, 2 * math.pi)
    ctx.stroke()

    # Cap: the colour code, domed, lit from the upper left.
    cap_r = radius * 0.66
    if trim is not None:
        ctx.set_source_rgb(*trim)
        ctx.arc(cx, cy, cap_r + 1.6, 0, 2 * math.pi)
        ctx.fill()
    dome = cairo.RadialGradient(cx - cap_r * 0.35, cy - cap_r * 0.45, cap_r * 0.1, cx, cy, cap_r * 1.05)
    dome.add_color_stop_rgb(0, *(min(1.0, c * 1.35 + 0.12) for c in cap))
    dome.add_color_stop_rgb(0.65, *cap)
    dome.add_color_stop_rgb(1, *(c * 0.55 for c in cap))
    ctx.set_source(dome)
    ctx.arc(cx, cy, cap_r, 0, 2 * math.pi)
    ctx.fill()
    ctx.set_source_rgba(0, 0, 0, 0.45)
    ctx.set_line_width(0.8)
    ctx.arc(cx, cy, cap_r, 0, 2 * math.pi)
    ctx.stroke()

    # Pointer: a white line across skirt and cap.
    ctx.set_line_cap(cairo.LINE_CAP_ROUND)
    ctx.set_source_rgba(0, 0, 0, 0.5)
    ctx.set_line_width(3.6)
    ctx.move_to(*polar(cx, cy, radius * 0.30, angle))
    ctx.line_to(*polar(cx, cy, radius - 1.6, angle))
    ctx.stroke()
    ctx.set_source_rgb(0.97, 0.96, 0.93)
    ctx.set_line_width(2.2)
    ctx.move_to(*polar(cx, cy, radius * 0.30, angle))
    ctx.line_to(*polar(cx, cy, radius - 1.6, angle))
    ctx.stroke()
    ctx.set_line_cap(cairo.LINE_CAP_BUTT)


def knob_radius(strip):
    # Clear of the frame's edge, which the caption windows overlap by a few rows.
    return min(strip["w"], strip["h"]) / 2.0 - 3.5


def draw_knob_strip(control):
    strip = control["strip"]
    w, h, frames = strip["w"], strip["h"], strip["frames"]
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h * frames)
    ctx = new_context(surface)
    cap, trim = knob_face(control["param"])
    for f in range(frames):
        angle = pointer_angle(f / (frames - 1))
        with frame_cell(ctx, w, h, f):
            draw_knob(ctx, w / 2.0, f * h + h / 2.0, knob_radius(strip), angle, cap, trim)
    return surface


# ------------------------------------------------- switches and HPF selectors

def button_body(ctx, x, y, w, h, pressed):
    ctx.set_source_rgba(0, 0, 0, 0.6)
    rounded_rect(ctx, x, y + 1, w, h, 3.5)
    ctx.fill()
    face = cairo.LinearGradient(0, y, 0, y + h)
    top, bottom = (0.25, 0.15) if not pressed else (0.17, 0.12)
    face.add_color_stop_rgb(0, top, top, top + 0.01)
    face.add_color_stop_rgb(1, bottom, bottom, bottom + 0.01)
    ctx.set_source(face)
    rounded_rect(ctx, x, y, w, h - 1, 3.5)
    ctx.fill()
    ctx.set_source_rgba(1, 1, 1, 0.10 if not pressed else 0.05)
    ctx.set_line_width(1.0)
    ctx.move_to(x + 3.5, y + 0.5)
    ctx.line_to(x + w - 3.5, y + 0.5)
    ctx.stroke()


def led(ctx, cx, cy, colour, lit):
    if lit:
        glow = cairo.RadialGradient(cx, cy, 0, cx, cy, 8.0)
        glow.add_color_stop_rgba(0, *colour, 0.55)
        glow.add_color_stop_rgba(1, *colour, 0.0)
        ctx.set_source(glow)
        ctx.arc(cx, cy, 8.0, 0, 2 * math.pi)
        ctx.fill()
    ctx.set_source_rgb(0.03, 0.03, 0.03)
    ctx.arc(cx, cy, 3.9, 0, 2 * math.pi)
    ctx.fill()
    lens = cairo.RadialGradient(cx - 1, cy - 1, 0.3, cx, cy, 3.2)
    if lit:
        lens.add_color_stop_rgb(0, 1.0, 0.97, 0.85)
        lens.add_color_stop_rgb(0.5, *colour)
        lens.add_color_stop_rgb(1, *(c * 0.7 for c in colour))
    else:
        lens.add_color_stop_rgb(0, *(c * 0.45 for c in colour))
        lens.add_color_stop_rgb(1, *(c * 0.18 for c in colour))
    ctx.set_source(lens)
    ctx.arc(cx, cy, 3.2, 0, 2 * math.pi)
    ctx.fill()


def draw_led_switch(strip, label, colour, lit_frame):
    """A push button with a lamp; the lamp and its word light in lit_frame."""
    w, h = strip["w"], strip["h"]
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h * 2)
    ctx = new_context(surface)
    for f in range(2):
        lit = f == lit_frame
        y = f * h + 1
        with frame_cell(ctx, w, h, f):
            button_body(ctx, 1, y, w - 2, h - 2, lit)
            led(ctx, 9.5, y + (h - 2) / 2.0, colour, lit)
            word = (0.98, 0.93, 0.82) if lit else (0.58, 0.57, 0.55)
            # The word fits between the lamp and the right edge.
            size = 9.5 if len(label) <= 4 else 9.0
            draw_text(ctx, label, (15 + w - 2) / 2.0, y + (h - 2) / 2.0 - 0.5, size, word, bold=len(label) <= 4)
    return surface


def draw_segments(strip, words, font_size):
    """A selector showing every position; frame f lights position f."""
    w, h, frames = strip["w"], strip["h"], strip["frames"]
    surface = cairo.ImageSurface(cairo.FORMAT_ARGB32, w, h * frames)
    ctx = new_context(surface)
    count = len(words)
    for f in range(frames):
        with frame_cell(ctx, w, h, f):
            y = f * h + 1
            button_body(ctx, 1, y, w - 2, h - 2, False)
            inner = (w - 4) / count
            for i, word in enumerate(words):
                x = 2 + i * inner
                if i > 0:
                    ctx.set_source_rgba(0, 0, 0, 0.7)
                    ctx.set_line_width(1.0)
                    ctx.move_to(round(x) + 0.5, y + 3)
                    ctx.line_to(round(x) + 0.5, y + h - 5)
                    ctx.stroke()
                active = i == f
                if active:
                    bar = cairo.LinearGradient(0, y + h - 7, 0, y + h - 4)
                    bar.add_color_stop_rgb(0, *LED_AMBER)
                    bar.add_color_stop_rgb(1, *(c * 0.6 for c in LED_AMBER))
                    ctx.set_source(bar)
                    ctx.rectangle(x + 3, y + h - 7, inner - 6, 2.5)
                    ctx.fill()
                colour = (1.0, 0.86, 0.60) if active else (0.50, 0.49, 0.47)
                draw_text(ctx, word, x + inner / 2.0, y + (h - 2) / 2.0 - 2.0, font_size, colour)
    return surface


# ------------------------------------------------------------ the background

class Panel:
    def __init__(self, layout, params):
        self.layout = layout
        self.params = params
        self.width = layout["kEditorWidth"]
        self.height = layout["kEditorHeight"]
        # Nothing printed may reach into a caption window.
        self.keep_clear = list(layout["captions"])
        self.controls = {c["param"]: c for c in layout["controls"] if c["kind"] != "Background"}

    def control_rect(self, param):
        return self.controls[param]["rect"]

    def knob_centre(self, param):
        l, t, r, b = self.control_rect(param)
        return (l + r) / 2.0, (t + b) / 2.0

    def free(self, box, margin=1.0):
        return not any(boxes_meet(box, k, margin) for k in self.keep_clear)

    def draw(self):
        surface = cairo.ImageSurface(cairo.FORMAT_RGB24, self.width, self.height)
        ctx = new_context(surface)
        self.faceplate(ctx)
        self.sections(ctx)
        for param, control in self.controls.items():
            if control["kind"] == "Knob" and control["strip"]["frames"] > 3:
                self.scale(ctx, param)
        self.switch_labels(ctx)
        self.hpf_labels(ctx)
        self.branding(ctx)
        for box in self.layout["captions"]:
            self.display_window(ctx, box)
        return surface

    def faceplate(self, ctx):
        w, h = self.width, self.height
        base = cairo.LinearGradient(0, 0, 0, h)
        base.add_color_stop_rgb(0, *PANEL_TOP)
        base.add_color_stop_rgb(1, *PANEL_BOTTOM)
        ctx.set_source(base)
        ctx.paint()
        ctx.set_source_surface(grain(w, h, 318, 14, 10), 0, 0)
        ctx.paint()
        # A soft vignette keeps the eye on the controls.
        vignette = cairo.RadialGradient(w / 2, h / 2, h * 0.45, w / 2, h / 2, w * 0.62)
        vignette.add_color_stop_rgba(0, 0, 0, 0, 0)
        vignette.add_color_stop_rgba(1, 0, 0, 0, 0.28)
        ctx.set_source(vignette)
        ctx.paint()
        # Bevelled edge of the plate.
        ctx.set_line_width(1.0)
        ctx.set_source_rgba(1, 1, 1, 0.09)
        ctx.rectangle(0.5, 0.5, w - 1, h - 1)
        ctx.stroke()
        ctx.set_source_rgba(0, 0, 0, 0.6)
        ctx.rectangle(1.5, 1.5, w - 3, h - 3)
        ctx.stroke()
        for x, y in ((12, 12), (w - 12, 12), (12, h - 12), (w - 12, h - 12)):
            self.screw(ctx, x, y)

    @staticmethod
    def screw(ctx, x, y):
        ctx.set_source_rgba(0, 0, 0, 0.6)
        ctx.arc(x, y + 0.8, 5.6, 0, 2 * math.pi)
        ctx.fill()
        head = cairo.RadialGradient(x - 1.5, y - 2, 0.5, x, y, 5.2)
        head.add_color_stop_rgb(0, 0.75, 0.75, 0.76)
        head.add_color_stop_rgb(1, 0.30, 0.30, 0.32)
        ctx.set_source(head)
        ctx.arc(x, y, 5.0, 0, 2 * math.pi)
        ctx.fill()
        ctx.set_source_rgba(0.1, 0.1, 0.1, 0.9)
        ctx.set_line_width(1.4)
        ctx.move_to(x - 3.4, y - 1.4)
        ctx.line_to(x + 3.4, y + 1.4)
        ctx.stroke()

    def recess(self, ctx, x, y, w, h):
        """A shallow milled tray the controls of one group sit in."""
        ctx.set_source_rgba(0, 0, 0, 0.16)
        rounded_rect(ctx, x, y, w, h, 6)
        ctx.fill()
        ctx.set_line_width(1.0)
        ctx.set_source_rgba(0, 0, 0, 0.45)
        rounded_rect(ctx, x + 0.5, y + 0.5, w - 1, h - 1, 6)
        ctx.stroke()
        ctx.set_source_rgba(1, 1, 1, 0.06)
        ctx.move_to(x + 6, y + h + 0.5)
        ctx.line_to(x + w - 6, y + h + 0.5)
        ctx.stroke()

    def rows(self):
        """Left, right, top, middle and bottom edges of the two rows of bands:
        they split midway between the L/M frequency knobs and the R/S captions."""
        lm_freq_bottom = self.control_rect("kLMLowFreq")[3]
        rs_caption_top = min(box[1] for box in self.layout["captions"] if box[1] > lm_freq_bottom)
        left = self.control_rect("kLMLowGain")[0] - 22
        right = self.control_rect("kLMOutput")[2] + 26
        bottom = self.control_rect("kRSHPF")[3] + 12
        return left, right, 30, (lm_freq_bottom + rs_caption_top) / 2.0, bottom

    def sections(self, ctx):
        left, right, top, split, bottom = self.rows()
        self.recess(ctx, left, top, right - left, split - top - 4)
        self.recess(ctx, left, split + 4, right - left, bottom - split - 4)
        m_left = self.control_rect("kMasterOutput")[0] - 44
        self.recess(ctx, m_left, top, self.width - 14 - m_left, bottom - top)
        edges = self.legends(ctx)
        self.hairlines(ctx, edges, top, split, bottom)
        for (y0, y1), words in (((top, split - 4), ("L/M", "LEFT", "MID")),
                                ((split + 4, bottom), ("R/S", "RIGHT", "SIDE"))):
            self.row_name(ctx, left / 2.0 + 1, (y0 + y1) / 2.0, *words)

    def legends(self, ctx):
        """Section legends over the L/M row, each band's centred between its
        two knobs; answers the bands' left and right edges."""
        bands = [("LOW", "kLMLowGain", "kLMLowFreq"), ("LOW MID", "kLMLowMidGain", "kLMLowMidFreq"),
                 ("HIGH MID", "kLMHighMidGain", "kLMHighMidFreq"), ("HIGH", "kLMHighGain", "kLMHighFreq")]
        edges = []
        for name, gain, freq in bands:
            g, f = self.control_rect(gain), self.control_rect(freq)
            box = draw_text(ctx, name, (g[0] + f[2]) / 2.0, 18, 12, INK, spacing=1.2)
            self.band_mark(ctx, box, BAND_COLOURS[band_of(gain)])
            edges.append((g[0], f[2]))
        out = self.control_rect("kLMOutput")
        box = draw_text(ctx, "OUTPUT", (out[0] + out[2]) / 2.0, 18, 12, INK, spacing=1.2)
        self.band_mark(ctx, box, IVORY)
        master = self.control_rect("kMasterOutput")
        box = draw_text(ctx, "MASTER", (master[0] + master[2]) / 2.0 - 6, 18, 12, INK, spacing=1.2)
        self.band_mark(ctx, box, IVORY)
        edges.append((out[0], out[2]))
        return edges

    @staticmethod
    def hairlines(ctx, edges, top, split, bottom):
        """Engraved lines between neighbouring sections, in both rows."""
        ctx.set_line_width(1.0)
        for a, b in zip(edges, edges[1:]):
            x = round((a[1] + b[0]) / 2.0)
            for y0, y1 in ((top + 8, split - 12), (split + 12, bottom - 8)):
                for dx, rgba in ((0.5, (0, 0, 0, 0.5)), (1.5, (1, 1, 1, 0.06))):
                    ctx.set_source_rgba(*rgba)
                    ctx.move_to(x + dx, y0)
                    ctx.line_to(x + dx, y1)
                    ctx.stroke()

    @staticmethod
    def row_name(ctx, cx, cy, name, first, second):
        draw_text(ctx, name, cx, cy - 12, 15, INK)
        draw_text(ctx, first, cx, cy + 6, 9, INK_DIM, spacing=0.6)
        draw_text(ctx, second, cx, cy + 19, 9, INK_DIM, spacing=0.6)

    @staticmethod
    def band_mark(ctx, box, colour):
        """The band's colour code: short bars either side of its legend."""
        y = (box[1] + box[3]) / 2.0
        ctx.set_source_rgb(*colour)
        for x0, x1 in ((box[0] - 16, box[0] - 6), (box[2] + 6, box[2] + 16)):
            ctx.rectangle(x0, y - 1.5, x1 - x0, 3)
            ctx.fill()

    def scale(self, ctx, param):
        """The scale around a knob: each mark where the parameter's own
        normalisation puts its value on the pointer's sweep."""
        p = self.params[param]
        cx, cy = self.knob_centre(param)
        strip = self.controls[param]["strip"]
        r_in = knob_radius(strip) + 4.0
        for value, label in scale_marks(param, p):
            a = pointer_angle(normalised(p, value))
            r_out = self.tick(ctx, cx, cy, r_in, a, major=label is not None)
            if r_out is not None and label is not None:
                self.scale_label(ctx, cx, cy, r_out, a, label)
        word = "LEVEL" if band_of(param) is None else "GAIN" if param.endswith("Gain") else "FREQ"
        draw_text(ctx, word, cx, cy + r_in + 6.5, 9, INK_DIM, spacing=0.5)

    def tick(self, ctx, cx, cy, r_in, a, major):
        """A scale mark pointing at the knob's centre; answers its outer
        radius, or None where a caption window leaves no room for it."""
        r_out = r_in + (4.5 if major else 2.5)
        p0, p1 = polar(cx, cy, r_in, a), polar(cx, cy, r_out, a)
        box = (min(p0[0], p1[0]) - 1, min(p0[1], p1[1]) - 1, max(p0[0], p1[0]) + 1, max(p0[1], p1[1]) + 1)
        if not self.free(box, 0.5):
            return None
        ctx.set_source_rgb(*(INK if major else INK_DIM))
        ctx.set_line_width(1.3 if major else 1.0)
        ctx.move_to(*p0)
        ctx.line_to(*p1)
        ctx.stroke()
        return r_out

    def scale_label(self, ctx, cx, cy, r_out, a, label):
        ext = text_box(ctx, label, 9.5)
        # Far enough out that the label's nearest corner clears the tick.
        reach = r_out + 3.0 + abs(math.sin(a)) * ext.x_advance / 2 + abs(math.cos(a)) * ext.height / 2
        lx, ly = polar(cx, cy, reach, a)
        box = (lx - ext.x_advance / 2, ly - ext.height / 2, lx + ext.x_advance / 2, ly + ext.height / 2)
        if self.free(box, 1.5):
            draw_text(ctx, label, lx, ly, 9.5, INK_DIM)

    def display_window(self, ctx, box):
        """The dark window a value caption is printed in."""
        l, t, r, b = box
        ctx.set_source_rgb(*DISPLAY)
        ctx.rectangle(l, t, r - l, b - t)
        ctx.fill()
        # Inner shade along the top, still dark enough for the caption.
        shade = cairo.LinearGradient(0, t, 0, t + 4)
        shade.add_color_stop_rgba(0, 0, 0, 0, 0.8)
        shade.add_color_stop_rgba(1, 0, 0, 0, 0)
        ctx.set_source(shade)
        ctx.rectangle(l, t, r - l, 4)
        ctx.fill()
        # Bezel just outside the window: dark above, catching light below.
        ctx.set_line_width(1.0)
        ctx.set_source_rgba(0, 0, 0, 0.7)
        ctx.move_to(l - 0.5, b)
        ctx.line_to(l - 0.5, t - 0.5)
        ctx.line_to(r + 0.5, t - 0.5)
        ctx.stroke()
        ctx.set_source_rgba(1, 1, 1, 0.13)
        ctx.move_to(l - 0.5, b + 0.5)
        ctx.line_to(r + 0.5, b + 0.5)
        ctx.line_to(r + 0.5, t)
        ctx.stroke()

    def switch_labels(self, ctx):
        labels = [("kMode", "MODE"), ("kLink", "LINK"), ("kMasterBypass", "MASTER"),
                  ("kLMBypass", "L/M"), ("kRSBypass", "R/S")]
        for param, text in labels:
            l, t, r, b = self.control_rect(param)
            draw_text(ctx, text, l - 6, (t + b) / 2.0, 9.5, INK, align="right")
        # The three bypass buttons share one legend.
        top = self.control_rect("kMasterBypass")[1]
        bottom = self.control_rect("kRSBypass")[3]
        x = self.control_rect("kRSBypass")[2] + 12
        ctx.save()
        ctx.translate(x, (top + bottom) / 2.0)
        ctx.rotate(math.pi / 2)
        draw_text(ctx, "BYPASS", 0, 0, 9.5, INK_DIM, spacing=1.5)
        ctx.restore()
        ctx.set_source_rgba(*INK_DIM, 0.7)
        ctx.set_line_width(1.0)
        for y0, y1 in ((top + 2, (top + bottom) / 2.0 - 22), ((top + bottom) / 2.0 + 22, bottom - 2)):
            ctx.move_to(x + 0.5, y0)
            ctx.line_to(x + 0.5, y1)
            ctx.stroke()

    def hpf_labels(self, ctx):
        for param in ("kLMHPF", "kRSHPF"):
            l, t, r, b = self.control_rect(param)
            draw_text(ctx, "HPF  Hz", (l + r) / 2.0, t - 9, 10, INK, spacing=0.8)

    def branding(self, ctx):
        y = self.height - 26
        draw_text(ctx, "ZAVRO", 40, y, 22, INK, align="left", spacing=5)
        draw_text(ctx, "Z318ME  ·  STEREO / MID-SIDE EQUALISER", 176, y + 1, 10, INK_DIM, align="left",
                  spacing=1.0)
        draw_text(ctx, "QUILLUMBRA", self.width - 40, y, 12, INK, align="right", spacing=3)


def scale_marks(param, p):
    """(value, label or None) pairs printed around a knob: labels at round
    values of the parameter's range, minor ticks between."""
    lo, hi = p["min"], p["max"]
    if param.endswith("Gain") or param.endswith("Output"):
        majors = [(v, "%+d" % v if v else "0") for v in range(-15, 16, 5)]
        minors = [v for v in range(-15, 16) if v % 5]
    elif lo == 50 and hi == 400:
        majors = [(v, str(v)) for v in (50, 100, 150, 200, 250, 300, 400)]
        minors = list(range(75, 400, 50)) + [350]
    elif lo == 60 and hi == 1000:
        majors = [(60, "60"), (200, "200"), (400, "400"), (600, "600"), (800, "800"), (1000, "1k")]
        minors = [100, 300, 500, 700, 900]
    elif lo == 1000 and hi == 7500:
        majors = [(v * 1000, "%dk" % v) for v in range(1, 7)] + [(7500, "7.5k")]
        minors = [v * 1000 + 500 for v in range(1, 7)] + [7000]
    elif lo == 3 and hi == 10:
        majors = [(v, str(v)) for v in range(3, 11)]
        minors = [v + 0.5 for v in range(3, 10)]
    else:
        die("no scale for %s (%g to %g)" % (param, lo, hi))
    for value, _ in majors:
        if not lo <= value <= hi:
            die("scale mark %g outside %s's range" % (value, param))
    return [(v, None) for v in minors] + majors


# ------------------------------------------------------------------ the run

def draw_strip(control):
    kind, strip, param = control["kind"], control["strip"], control["param"]
    if kind == "Knob" and strip["frames"] == 3:
        return draw_segments(strip, ["10", "80", "140"], 9.5)
    if kind == "Knob":
        return draw_knob_strip(control)
    if param == "kMode":
        return draw_segments(strip, ["L/R", "M/S"], 9)
    if param == "kLink":
        return draw_led_switch(strip, "LINK", LED_AMBER, lit_frame=1)
    # The engage switches: 0 bypasses, and the lamp lights while bypassed.
    return draw_led_switch(strip, "BYPASS", LED_RED, lit_frame=0)


def check_size(surface, strip):
    expected = (strip["w"], strip["h"] * strip["frames"])
    if (surface.get_width(), surface.get_height()) != expected:
        die("%s drawn at %dx%d, the layout says %dx%d" % (strip["file"], surface.get_width(),
                                                          surface.get_height(), *expected))


def preview(layout, params, images, path):
    """The panel as the editor first paints it: every control at its default."""
    bg = images[101]
    surface = cairo.ImageSurface(cairo.FORMAT_RGB24, bg.get_width(), bg.get_height())
    ctx = cairo.Context(surface)
    ctx.set_source_surface(bg, 0, 0)
    ctx.paint()
    for control in layout["controls"]:
        if control["kind"] == "Background":
            continue
        p, strip = params[control["param"]], control["strip"]
        n = normalised(p, p["default"])
        frame = int((strip["frames"] - 1) * n + 0.5)
        left, top = control["rect"][:2]
        ctx.save()
        ctx.rectangle(left, top, strip["w"], strip["h"])
        ctx.clip()
        ctx.set_source_surface(images[control["id"]], left, top - frame * strip["h"])
        ctx.paint()
        ctx.restore()
    os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
    surface.write_to_png(path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--preview", help="also write the composed panel at its defaults to this file")
    args = parser.parse_args()
    layout, params = parse_layout(), parse_params()
    images = {101: Panel(layout, params).draw()}
    for control in layout["controls"]:
        if control["kind"] != "Background":
            images[control["id"]] = draw_strip(control)
    for rid, strip in layout["strips"].items():
        surface = images.get(rid)
        if surface is None:
            die("no control shows %s" % strip["file"])
        check_size(surface, strip)
        surface.write_to_png(os.path.join(ROOT, strip["file"]))
    if args.preview:
        preview(layout, params, images, args.preview)


if __name__ == "__main__":
    main()
