#!/usr/bin/python3
"""Checks the pictures, icons and help page under resources/.

    /usr/bin/python3 resources/art/check_assets.py

The JPEGs are decoded with Pillow (libjpeg-turbo, the decoder the platform uses as well): every
background pixel of a picture with a transparent or mask colour must come back exactly as that
colour, and no drawn pixel may. The icons are read field by field; the help page is parsed for
the tags its viewer knows. Exits 1 after listing every failure.
"""

import html.parser
import io
import os
import re
import struct
import sys

from PIL import Image

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import draw_assets as art  # noqa: E402

RESOURCES = art.RESOURCES

# name: (width, height, cell width or None, key colour or None)
JPEGS = {
    "t0s1_f12.jpg": (96, 130, None, None),
    "t0s2_f12.jpg": (288, 60, None, None),
    "t0ms_f1.jpg": (240, 36, 48, (255, 0, 255)),
    "t0ms_f2.jpg": (480, 72, 96, (255, 0, 255)),
    "cursors_f1.jpg": (100, 20, 10, (255, 0, 255)),
    "cursors_f2.jpg": (200, 40, 20, (255, 0, 255)),
    "tva_f1.jpg": (66, 22, 22, (0, 255, 0)),
    "tva_f2.jpg": (132, 44, 44, (0, 255, 0)),
    "tvf_f1.jpg": (66, 22, 22, (0, 255, 0)),
    "tvf_f2.jpg": (132, 44, 44, (0, 255, 0)),
    "morvane.jpg": (180, 80, None, None),
    "iton.jpg": (180, 80, None, None),
}
# The pictures of factors 3 and 4, a device drawn at a desk's 150 % and 200 %: each at its own
# size, never one enlarged from another.
for f in (3, 4):
    JPEGS.update({
        "t0s1_f%d.jpg" % f: (48 * f, 65 * f, None, None),
        "t0s2_f%d.jpg" % f: (144 * f, 30 * f, None, None),
        "t0ms_f%d.jpg" % f: (240 * f, 36 * f, 48 * f, (255, 0, 255)),
        "cursors_f%d.jpg" % f: (100 * f, 20 * f, 10 * f, (255, 0, 255)),
        "tva_f%d.jpg" % f: (66 * f, 22 * f, 22 * f, (0, 255, 0)),
        "tvf_f%d.jpg" % f: (66 * f, 22 * f, 22 * f, (0, 255, 0)),
        "morvane_f%d.jpg" % f: (90 * f, 40 * f, None, None),
    })
ICONS = ["quillmote.ico", "tab_mouse.ico", "tab_keyboard.ico", "tab_status.ico",
         "tab_help.ico", "tab_about.ico"]
ICON_SIZES = [16, 32, 64]
# Sizes only a desktop shows, stored as PNG (which desktop Windows reads): the tab icons' 48.
PNG_SIZES = {name: [48] for name in ["tab_mouse.ico", "tab_keyboard.ico", "tab_status.ico",
                                     "tab_help.ico", "tab_about.ico"]}
# Bits per pixel of an icon's images where they are not 32: the control-panel entry's are 24.
ICON_BITS = {"ollenset.ico": 24}
ICONS.append("ollenset.ico")

# A key colour's background must decode at least this far beyond the clamping limits, so that
# another libjpeg build (or its fast integer colour conversion) still gives the exact colour.
MIN_MARGIN = 10
# How far a drawn pixel may come back from its colour: quality 100 only rounds.
MAX_DRIFT = 12

HELP_TAGS = {"html", "head", "meta", "title", "body", "h1", "h2", "h3", "p", "ul", "ol", "li",
             "br", "b", "strong", "i", "em"}
HELP_PHRASES = [
    "Enable bluetooth keyboard support", "Enable keyboard sounds", "Start Quillmote with Windows",
    "Show Tray Icon", "Change", "Bluetooth :", "Mouse :", "Keyboard :", "Hide", "Connect",
    "#1 Critical Error", "The Quillmote driver is not responding", "#2 Bluetooth",
    "#3 No Device", "Settings > Bluetooth Input Driver", "passkey",
    "Only the keys of the standard US layout are handled; multimedia keys are not supported in "
    "this version.",
]

failures = []


def fail(message):
    failures.append(message)


def path_of(relative):
    return os.path.join(RESOURCES, relative)


# ---------------------------------------------------------------------------------------------
# JPEGs

def check_jpeg_format(name, image):
    width, height = JPEGS[name][:2]
    if image.size != (width, height):
        fail("%s is %dx%d, not %dx%d" % (name, image.size[0], image.size[1], width, height))
    if image.mode != "RGB":
        fail("%s decodes as %s, not RGB" % (name, image.mode))
    if image.info.get("progressive") or image.info.get("progression"):
        fail("%s is progressive; the device's decoder wants baseline" % name)
    if any(h != 1 or v != 1 for _, h, v, _ in image.layer):
        fail("%s subsamples its colour (%s); the key colour needs 4:4:4" % (name, image.layer))
    if any(q != 1 for table in image.quantization.values() for q in table):
        fail("%s is not at quality 100" % name)


def measured_margin(name, mask, key):
    """The smallest distance beyond the clamping limits of any background pixel, from the
    decoder's own YCbCr samples."""
    raw = Image.open(path_of("images/" + name))
    raw.draft("YCbCr", raw.size)
    if raw.mode != "YCbCr":
        fail("%s: cannot read its YCbCr samples (%s)" % (name, raw.mode))
        return None
    worst = None
    for ycc, drawn in zip(raw.getdata(), mask.getdata()):
        if drawn:
            continue
        rgb = art.decode_ycc(*ycc)
        margin = min(v - 255 if k == 255 else -v for v, k in zip(rgb, key))
        worst = margin if worst is None else min(worst, margin)
    return worst


def check_keyed(name, decoded):
    rgb, mask, key = art.keyed_picture(name)
    if key != JPEGS[name][3]:
        fail("%s is drawn on %s, not %s" % (name, key, JPEGS[name][3]))
    lost, keyed_content, drift, worst = 0, 0, 0, None
    width = decoded.size[0]
    for index, (got, want, drawn) in enumerate(zip(decoded.getdata(), rgb.getdata(),
                                                    mask.getdata())):
        if not drawn:
            if got != key:
                lost += 1
                if worst is None:
                    worst = (index % width, index // width, got)
        elif got == key:
            keyed_content += 1
        else:
            drift = max(drift, max(abs(a - b) for a, b in zip(got, want)))
    if lost:
        fail("%s: %d background pixels are not exactly %s, first at (%d, %d): %s"
             % ((name, lost, key) + worst))
    if keyed_content:
        fail("%s: %d drawn pixels decode to the key colour %s" % (name, keyed_content, key))
    if drift > MAX_DRIFT:
        fail("%s: a drawn pixel comes back %d levels off its colour" % (name, drift))
    margin = measured_margin(name, mask, key)
    if margin is not None and margin < MIN_MARGIN:
        fail("%s: the background decodes only %.1f levels beyond the limits" % (name, margin))
    return margin, drift, rgb, mask


def check_cells(name, rgb, mask):
    """Each cell of a strip holds a glyph of its own, apart from its neighbours."""
    cell = JPEGS[name][2]
    width, height = mask.size
    bits = list(mask.getdata())
    glyphs = []
    for index in range(width // cell):
        box = (index * cell, 0, (index + 1) * cell, height)
        drawn = sum(1 for value in mask.crop(box).getdata() if value)
        if drawn < cell * height // 20:
            fail("%s: cell %d is (nearly) empty" % (name, index))
        glyphs.append(rgb.crop(box).tobytes())
    for a in range(len(glyphs)):
        for b in range(a + 1, len(glyphs)):
            if glyphs[a] == glyphs[b]:
                fail("%s: cells %d and %d show the same glyph" % (name, a, b))
    for index in range(1, width // cell):
        x = index * cell
        if any(bits[y * width + x - 1] and bits[y * width + x] for y in range(height)):
            fail("%s: the glyphs of cells %d and %d touch" % (name, index - 1, index))


def check_opaque(name, image):
    width, height = image.size
    corners = [(0, 0), (width - 1, 0), (0, height - 1), (width - 1, height - 1)]
    if name.startswith("t0s1_"):
        corners = corners[:2]  # the tab runs off the bottom edge
    for corner in corners:
        if min(image.getpixel(corner)) < 245:
            fail("%s: corner %s is %s, not white" % (name, corner, image.getpixel(corner)))
    if name.startswith("t0s2_"):
        # the drop-down list sits on the bar: its inside must be one plain colour
        edge = height * 8 // 60
        inside = image.crop((edge + 2, edge, width - edge - 2, height - edge))
        low, high = zip(*inside.getextrema())
        if max(h - l for l, h in zip(low, high)) > 6:
            fail("%s: the bar is not plain inside" % name)


def check_jpegs():
    report = []
    for name, (_, _, cell, key) in JPEGS.items():
        path = path_of("images/" + name)
        if not os.path.exists(path):
            fail("missing " + path)
            continue
        with Image.open(path) as image:
            check_jpeg_format(name, image)
            decoded = image.convert("RGB")
        if key is None:
            check_opaque(name, decoded)
            continue
        margin, drift, rgb, mask = check_keyed(name, decoded)
        check_cells(name, rgb, mask)
        report.append("  %-15s background margin %s, largest drift of a drawn pixel %d"
                      % (name, "?" if margin is None else "%.1f" % margin, drift))
    return report


# ---------------------------------------------------------------------------------------------
# Icons

def check_icon(name):
    path = path_of("icons/" + name)
    if not os.path.exists(path):
        fail("missing " + path)
        return
    data = open(path, "rb").read()
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if (reserved, kind) != (0, 1):
        fail("%s is not an icon file" % name)
        return
    sizes, png_sizes = [], []
    for entry in range(count):
        w, h, colours, _, planes, bpp, length, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * entry)
        w, h = w or 256, h or 256
        sizes.append(w)
        label = "%s %dx%d" % (name, w, h)
        if offset + length > len(data):
            fail("%s runs past the end of the file" % label)
            continue
        if data[offset:offset + 8] == b"\x89PNG\r\n\x1a\n":
            sizes.pop()
            png_sizes.append(w)
            if w not in PNG_SIZES.get(name, []):
                fail("%s is PNG-compressed; the device wants a DIB" % label)
                continue
            with Image.open(io.BytesIO(data[offset:offset + length])) as png:
                alpha = png.convert("RGBA").getchannel("A")
                if png.size != (w, h) or any(0 < a < 128 for a in alpha.getdata()):
                    fail("%s: not a %dx%d PNG whose faint pixels are clear" % (label, w, h))
                elif sum(1 for a in alpha.getdata() if a) < w * h // 8:
                    fail("%s is (nearly) empty" % label)
            continue
        (size, bw, bh, bplanes, bbits, compression, image_size) = struct.unpack_from(
            "<IiiHHII", data, offset)
        want_bits = ICON_BITS.get(name, 32)
        if (size, bw, bh, bplanes, bbits, compression) != (40, w, 2 * h, 1, want_bits, 0):
            fail("%s has an unexpected bitmap header %s" % (label, (size, bw, bh, bplanes, bbits,
                                                                     compression)))
            continue
        if (planes, bpp, colours) != (1, want_bits, 0):
            fail("%s: directory entry says %d planes, %d bits" % (label, planes, bpp))
        stride = ((w + 31) // 32) * 4
        pixel = want_bits // 8
        row_bytes = (w * pixel + 3) // 4 * 4
        xor_at = offset + 40
        and_at = xor_at + row_bytes * h
        if 40 + row_bytes * h + stride * h != length:
            fail("%s: %d bytes, not header + colours + mask" % (label, length))
            continue
        opaque = clear = mismatched = 0
        for row in range(h):
            for col in range(w):
                at = xor_at + row * row_bytes + col * pixel
                b, g, r = data[at:at + 3]
                # A 24-bit image has no alpha: its mask alone says what is drawn.
                a = data[at + 3] if pixel == 4 else 255
                if pixel == 3 and data[and_at + row * stride + col // 8] & (0x80 >> (col % 8)):
                    a = 0
                masked = data[and_at + row * stride + col // 8] & (0x80 >> (col % 8))
                if masked:
                    clear += 1
                    if (r, g, b, a) != (0, 0, 0, 0):
                        mismatched += 1
                else:
                    opaque += 1
                    if a < 128:
                        mismatched += 1
        if mismatched:
            fail("%s: %d pixels where the AND mask and the alpha disagree" % (label, mismatched))
        if opaque < w * h // 8:
            fail("%s is (nearly) empty" % label)
        if clear == 0:
            fail("%s has no transparent pixel" % label)
    if sorted(sizes) != ICON_SIZES or sorted(png_sizes) != PNG_SIZES.get(name, []):
        fail("%s holds sizes %s and PNG %s, not %s and %s" % (name, sizes, png_sizes, ICON_SIZES,
                                                             PNG_SIZES.get(name, [])))


# ---------------------------------------------------------------------------------------------
# Help page

class HelpParser(html.parser.HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.tags, self.open, self.text, self.charset = set(), [], [], None
        self.in_body = False

    def handle_starttag(self, tag, attrs):
        self.tags.add(tag)
        attrs = dict(attrs)
        if tag == "meta":
            content = (attrs.get("content") or "").lower().replace(" ", "")
            if "charset=utf-8" in content or (attrs.get("charset") or "").lower() == "utf-8":
                self.charset = "utf-8"
            return
        if tag == "br":
            return
        if tag == "body":
            self.in_body = True
        self.open.append(tag)

    def handle_endtag(self, tag):
        if not self.open or self.open[-1] != tag:
            fail("help.html: </%s> closes <%s>" % (tag, self.open[-1] if self.open else ""))
            return
        self.open.pop()

    def handle_data(self, data):
        if self.in_body:
            self.text.append(data)


# The texts of the window each translated help page names as the window shows them.
HELP_TEXTS = ["QM_TEXT_KEYBOARD_SUPPORT", "QM_TEXT_KEYBOARD_SOUNDS", "QM_TEXT_AUTOSTART", "QM_TEXT_TRAY_ICON",
              "QM_TEXT_CHANGE", "QM_TEXT_HIDE", "QM_TEXT_CONNECT", "QM_TEXT_BLUETOOTH_OFF_TITLE",
              "QM_TEXT_NO_DEVICE_TITLE", "QM_TEXT_CRITICAL_TITLE"]


def translated_phrases(tag):
    table = open(path_of("strings/%s.rc" % tag), encoding="utf-8").read()
    texts = dict(re.findall(r'^  (\w+) "((?:[^"]|"")*)"$', table, re.M))
    return [texts[name].replace('""', '"') for name in HELP_TEXTS]


def check_help(name="help.html", phrases=None):
    phrases = HELP_PHRASES if phrases is None else phrases
    path = path_of("help/" + name)
    if not os.path.exists(path):
        fail("missing " + path)
        return
    raw = open(path, "rb").read()
    try:
        page = raw.decode("utf-8")
    except UnicodeDecodeError as error:
        fail("%s is not UTF-8: %s" % (name, error))
        return
    parser = HelpParser()
    parser.feed(page)
    parser.close()
    unknown = parser.tags - HELP_TAGS
    if unknown:
        fail("%s uses tags its viewer does not know: %s" % (name, ", ".join(sorted(unknown))))
    if parser.open:
        fail("%s leaves open: %s" % (name, ", ".join(parser.open)))
    if parser.charset != "utf-8":
        fail("%s does not declare its UTF-8 charset" % name)
    lowered = page.lower()
    for banned in ("<script", "<img", "<link", "<style", "src=", "href=", "url("):
        if banned in lowered:
            fail("%s contains %s" % (name, banned))
    text = " ".join(" ".join(parser.text).split())
    words = len(text.split())
    if not 450 <= words <= 1000:
        fail("%s has %d words, not 450 to 1000" % (name, words))
    for phrase in phrases:
        if phrase not in text:
            fail("%s does not mention %r" % (name, phrase))
    return words


# ---------------------------------------------------------------------------------------------

def check_up_to_date():
    """The files on disk are what the script draws now, and it draws the same twice."""
    first, second = art.render_all(), art.render_all()
    for relative, data in first.items():
        if second[relative] != data:
            fail("%s: two runs of draw_assets.py differ" % relative)
        path = path_of(relative)
        if os.path.exists(path) and open(path, "rb").read() != data:
            fail("%s is stale: run draw_assets.py" % relative)
    expected = ({"images/" + name for name in JPEGS} | {"icons/" + name for name in ICONS}
                | {"images/key_pixels.txt"})
    if set(first) != expected:
        fail("draw_assets.py writes %s" % sorted(set(first) ^ expected))


def check_triples():
    for key in art.KEYS:
        decoded = art.decode_ycc(*art.KEYS[key])
        clamped = tuple(min(255, max(0, round(v))) for v in decoded)
        if clamped != key:
            fail("the triple %s decodes to %s, not %s" % (art.KEYS[key], clamped, key))
        if art.key_margin(key) < MIN_MARGIN:
            fail("the triple %s has only %.1f levels of margin" % (art.KEYS[key],
                                                                   art.key_margin(key)))


def main():
    check_triples()
    report = check_jpegs()
    for name in ICONS:
        check_icon(name)
    words = check_help()
    # The translated pages, each naming the window's texts in its own language.
    for page in sorted(os.listdir(path_of("help"))):
        match = re.match(r"help_(\w+)\.html$", page)
        if match:
            check_help(page, translated_phrases(match.group(1)))
    check_up_to_date()
    if failures:
        print("check_assets: %d failures" % len(failures))
        for message in failures:
            print("  " + message)
        return 1
    print("check_assets: all %d pictures, %d icons and the help page (%s words) are fine"
          % (len(JPEGS), len(ICONS), words))
    for line in report:
        print(line)
    return 0


if __name__ == "__main__":
    sys.exit(main())
