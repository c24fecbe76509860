#!/usr/bin/env python3
"""Writes the pseudo-language's string tables (pseudo.rc, applet_pseudo.rc) from the English ones
(en.rc, applet_en.rc).

Every text comes out about 40 % longer, its letters accented, padded with wide letters and
bracketed, so that a text cut at its end, or one still written into the code, shows at a glance.
Format arguments, line breaks, quotes, one-character symbols and the names that stay the same in
every language are kept.
A text held in a field of a fixed size stays within it. With --check, only compares.
"""
import math
import pathlib
import re
import sys

HERE = pathlib.Path(__file__).resolve().parent
# Letters the platform's own fonts carry (Latin-1 and the commonest of Latin Extended-A).
ACCENTS = str.maketrans("aeiouycnszAEIOUYCNSZ", "áéíöüýçñšžÅÉÎØÛÝÇÑŠŽ")
WIDE = "Æ"
KEPT = re.compile(r'(%[-+0-9.]*l*[a-zA-Z]|\\n|""|Quillmote|Morvane|Windows|Microsoft|Bluetooth|US)')
# Texts held in fields of a fixed size: the action and speed names' slots, the applet's name and description.
LIMITS = dict([(str(n), 19) for n in range(300, 317)] + [(str(n), 5) for n in range(320, 331)] +
              [("QM_APPLET_NAME", 31), ("QM_APPLET_INFO", 63)])

# Texts whose room on the 240-pixel screen (measured in the program's font under Wine) leaves them
# less than the 40 % to grow: each as long as its room allows, down to its accented letters alone
# where not even the brackets fit. The action names that wrap to a third line within their two
# under the buttons are kept to their own length as well.
FITTED = {
    "QM_TEXT_MOUSE_TITLE": 27,
    "QM_TEXT_CURSOR": 6,
    "QM_TEXT_SPEED": 5,
    "QM_TEXT_KEYBOARD_DESCRIPTION": 184,
    "QM_TEXT_BLUETOOTH_LABEL": 11,
    "QM_TEXT_MOUSE_LABEL": 9,
    "QM_TEXT_KEYBOARD_LABEL": 10,
    "QM_TEXT_ON": 4,
    "QM_TEXT_OFF": 3,
    "QM_TEXT_VERSION_LABEL": 9,
    "QM_TEXT_RELEASE_LABEL": 9,
    "QM_TEXT_LEGAL_NOTICE": 186,
    "QM_TEXT_COPYRIGHT": 29,
    "QM_TEXT_COMPATIBLE": 72,
    "QM_TEXT_MOUSE_SUPPORT": 30,
    "QM_TEXT_KEYBOARD_SUPPORT": 33,
    "QM_TEXT_AUTOSTART": 28,
    "QM_TEXT_CHANGE": 8,
    "QM_TEXT_TAB_KEYBOARD": 8,
    "QM_TEXT_TAB_STATUS": 6,
    "QM_TEXT_TAB_HELP": 4,
    "QM_TEXT_TAB_ABOUT": 5,
    "305": 11,  # Scroll Down
    "307": 12,  # Scroll Right
    "309": 12,  # Open Program
    "310": 11,  # Open Applet
    "312": 12,  # Reset Device
    "314": 13,  # Rotate Screen
    "315": 12,  # Show Desktop
}


def pseudo(text, limit=None):
    if len(text) == 1:
        return text  # a symbol on a button of its own size: < and >
    parts = KEPT.split(text)
    body = "".join(p if i % 2 else p.translate(ACCENTS) for i, p in enumerate(parts))
    visible = len(text.replace('""', '"').replace("\\n", "\n"))
    pad = max(1, math.ceil(visible * 0.4) - 3)
    if limit is not None:
        if visible + 2 > limit:
            return body  # no room for the brackets: the speeds' slot of five characters
        pad = max(0, min(pad, limit - visible - 3))
    # The padding in words of five wide letters, so that a wrapped text can still break.
    while True:
        padding = " ".join(WIDE * min(5, pad - i) for i in range(0, pad, 5))
        out = "[" + body + (" " + padding if pad else "") + "]"
        if limit is None or pad == 0 or visible + len(out) - len(body) <= limit:
            return out
        pad -= 1


def build(source):
    english = (HERE / source).read_text(encoding="utf-8")
    out = ["// The pseudo-language for tests, written by make_pseudo.py from %s: do not edit." % source,
           "LANGUAGE 0x101, 0x01", "STRINGTABLE", "BEGIN"]
    for name, text in re.findall(r'^  (\S+) "((?:[^"]|"")*)"$', english, re.M):
        limits = [n for n in (LIMITS.get(name), FITTED.get(name)) if n is not None]
        out.append('  %s "%s"' % (name, pseudo(text, min(limits) if limits else None)))
    out.append("END")
    return "\n".join(out) + "\n"


if __name__ == "__main__":
    for source, name in (("en.rc", "pseudo.rc"), ("applet_en.rc", "applet_pseudo.rc")):
        target = HERE / name
        text = build(source)
        if "--check" in sys.argv[1:]:
            if not target.exists() or target.read_text(encoding="utf-8") != text:
                sys.exit("%s is not what make_pseudo.py writes from %s: run it again" % (name, source))
        else:
            target.write_text(text, encoding="utf-8")
