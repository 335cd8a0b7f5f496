#!/usr/bin/env python3
"""Regenerates the icon files in this folder from the Breeze icon theme.

Run by hand when the icon choice changes; the build only uses the committed .svg files.
Needs Debian's breeze-icon-theme (/usr/share/icons/breeze and breeze-dark).
Composite icons (a monitor or power symbol with a status badge) and recoloured icons are
assembled here from Breeze parts, so every file stays within the set's own style.
"""
import copy
import os
import re
import sys
import xml.etree.ElementTree as ET

SVG = "http://www.w3.org/2000/svg"
ET.register_namespace("", SVG)
HERE = os.path.dirname(os.path.abspath(__file__))
LIGHT_ROOT = "/usr/share/icons/breeze"
DARK_ROOT = "/usr/share/icons/breeze-dark"

GREEN, RED, BLUE, ORANGE, GREY = "#27ae60", "#da4453", "#3daee9", "#f67400", "#7f8c8d"
# Thin coloured strokes lose contrast on a dark background; their dark variants use lighter tones.
BRIGHT_GREEN, BRIGHT_RED = "#2ecc71", "#f26d7d"

# name -> (base icon, recolour or None, badge or None, dark variant: True, False or its own recolour)
# A badge is either a Breeze emblem file or ("draw", colour, glyph icon) for a badge drawn in
# the emblems' own shape around a Breeze glyph.
ICONS = {
    "search": ("actions/22/edit-find", None, None, True),
    "search broadcast": ("devices/22/network-wireless-hotspot", None, None, True),
    "search target": ("actions/22/crosshairs", None, None, True),
    "search settings": ("actions/22/edit-find", None, ("draw", GREY, "actions/16/configure"), True),
    "update_lan": ("devices/22/network-wired", None, ("draw", BLUE, "arrow-up"), True),
    "usb drive": ("devices/22/drive-removable-media-usb-pendrive", None, None, True),
    "copy to usb": ("devices/22/drive-removable-media-usb-pendrive", None, ("draw", BLUE, "arrow-down"), True),
    "version history": ("actions/22/appointment-new", None, None, True),
    "info": ("emblems/22/emblem-information", None, None, True),
    "refresh": ("actions/22/view-refresh", None, None, True),
    "refresh all": ("actions/22/view-refresh", None, ("draw", BLUE, "actions/16/view-list-details"), True),
    "cancel": ("actions/22/dialog-cancel", None, None, True),
    "settings": ("actions/22/configure", None, None, True),
    "app update": ("status/22/update-high", None, None, True),
    "log": ("actions/22/view-list-text", None, None, True),
    "clear": ("actions/22/edit-clear-all", None, None, True),
    "copy clipboard": ("actions/22/edit-copy", None, None, True),
    "delete-red": ("actions/22/edit-delete", RED, None, BRIGHT_RED),
    "cloud download": ("actions/22/cloud-download", None, None, True),
    "monitor download": ("devices/22/monitor", None, ("draw", BLUE, "arrow-down"), True),
    "monitor updating progress": ("devices/22/monitor", None, ("draw", BLUE, "actions/16/view-refresh"), True),
    "monitor pause": ("devices/22/monitor", None, ("draw", ORANGE, "pause"), True),
    "monitor error": ("devices/22/monitor", None, "emblems/16/emblem-error", True),
    "checkmark": ("actions/22/checkmark", GREEN, None, BRIGHT_GREEN),
    "checkmark and reset power": ("actions/22/system-shutdown", None, "emblems/16/emblem-success", True),
    "reset power": ("actions/22/system-shutdown", None, "emblems/16/emblem-warning", True),
    "power-on": ("actions/22/system-shutdown", GREEN, None, BRIGHT_GREEN),
    "power-off": ("actions/22/system-shutdown", RED, None, BRIGHT_RED),
    "power-unknown": ("actions/22/system-shutdown", None, "emblems/16/emblem-question", True),
    "comm-error": ("devices/22/network-wired", None, "emblems/16/emblem-error", True),
    "warning": ("emblems/22/emblem-warning", None, None, True),
    "right click": ("actions/22/input-mouse-click-right", None, None, True),
}

# White glyphs drawn into a 16 x 16 badge, for badges Breeze has no emblem for.
GLYPHS = {
    "arrow-down": "M7 3v6.586L4.707 7.293 3.293 8.707 8 13.414l4.707-4.707-1.414-1.414L9 9.586V3z",
    "arrow-up": "M8 2.586 3.293 7.293l1.414 1.414L7 6.414V13h2V6.414l2.293 2.293 1.414-1.414z",
    "pause": "M4 3v10h3V3zm5 0v10h3V3z",
}
BADGE_BORDER = ("M2 0C.892 0 0 .892 0 2v12c0 1.108.892 2 2 2h12c1.108 0 2-.892 2-2V2c0-1.108-.892-2-2-2z"
                "m0 1h12c.554 0 1 .446 1 1v12c0 .554-.446 1-1 1H2c-.554 0-1-.446-1-1V2c0-.554.446-1 1-1z")


def load(root, rel):
    return ET.parse(os.path.realpath(os.path.join(root, rel + ".svg"))).getroot()


def size_of(svg):
    box = svg.get("viewBox")
    if box:
        parts = [float(v) for v in box.replace(",", " ").split()]
        return parts[2], parts[3]
    return float(svg.get("width", 16)), float(svg.get("height", 16))


def split(svg):
    """Returns (style texts, drawable children) of a Breeze file."""
    styles, shapes = [], []
    for child in svg:
        tag = child.tag.split("}")[-1]
        if tag == "style":
            styles.append(child.text or "")
        elif tag == "defs":
            for sub in child:
                if sub.tag.split("}")[-1] == "style":
                    styles.append(sub.text or "")
                else:
                    shapes.append(("defs", sub))
        elif tag in ("metadata", "title", "desc"):
            continue
        else:
            shapes.append(("shape", child))
    return styles, shapes


def glyph_shapes(root, glyph):
    if glyph in GLYPHS:
        p = ET.Element("{%s}path" % SVG, {"d": GLYPHS[glyph], "fill": "#fff"})
        return [p], (16.0, 16.0)
    svg = load(root, glyph)
    _, shapes = split(svg)
    out = []
    for kind, el in shapes:
        if kind != "shape":
            continue
        el = copy.deepcopy(el)
        for node in el.iter():
            node.attrib.pop("class", None)
            if "style" in node.attrib:
                node.set("style", re.sub(r"fill:[^;]+", "fill:#ffffff", node.get("style")))
            if node.get("fill") not in (None, "none"):
                node.set("fill", "#ffffff")
            if node.tag.split("}")[-1] in ("path", "rect", "circle", "ellipse", "polygon") \
                    and "fill" not in node.attrib and "style" not in node.attrib:
                node.set("fill", "#ffffff")
        out.append(el)
    return out, size_of(svg)


def drawn_badge(root, colour, glyph):
    g = ET.Element("{%s}g" % SVG)
    ET.SubElement(g, "{%s}rect" % SVG, {"width": "16", "height": "16", "rx": "2", "fill": colour})
    ET.SubElement(g, "{%s}path" % SVG, {"d": BADGE_BORDER, "class": "ColorScheme-Text",
                                       "style": "fill:currentColor;fill-opacity:0.6;stroke:none"})
    shapes, (w, _) = glyph_shapes(root, glyph)
    inner = ET.SubElement(g, "{%s}g" % SVG, {"transform": "translate(2,2) scale(%g)" % (12.0 / w)})
    inner.extend(shapes)
    return [], g


def build(root, base, recolour, badge):
    svg = load(root, base)
    w, h = size_of(svg)
    styles, shapes = split(svg)
    out = ET.Element("{%s}svg" % SVG, {"version": "1.1", "width": "%g" % w, "height": "%g" % h,
                                       "viewBox": "0 0 %g %g" % (w, h)})
    style_el = ET.SubElement(out, "{%s}style" % SVG, {"type": "text/css"})
    defs = None
    for kind, el in shapes:
        if kind == "defs":
            if defs is None:
                defs = ET.SubElement(out, "{%s}defs" % SVG)
            defs.append(el)
        else:
            out.append(el)
    if badge:
        if isinstance(badge, tuple):
            badge_styles, group = drawn_badge(root, badge[1], badge[2])
        else:
            bsvg = load(root, badge)
            badge_styles, bshapes = split(bsvg)
            group = ET.Element("{%s}g" % SVG)
            group.extend(el for kind, el in bshapes if kind == "shape")
        scale = (w / 2.0 + 1) / 16.0
        wrapper = ET.SubElement(out, "{%s}g" % SVG, {
            "transform": "translate(%g,%g) scale(%g)" % (w - 16 * scale, h - 16 * scale, scale)})
        wrapper.append(group)
        styles += badge_styles
    css = "\n".join(s.strip() for s in styles)
    if recolour:
        css = re.sub(r"(\.ColorScheme-Text\s*\{\s*color:)\s*#[0-9a-fA-F]+", r"\g<1>" + recolour, css)
    style_el.text = "\n" + css + "\n"
    return ET.tostring(out, encoding="unicode")


def main():
    os.makedirs(os.path.join(HERE, "dark"), exist_ok=True)
    for name, (base, recolour, badge, dark) in ICONS.items():
        with open(os.path.join(HERE, name + ".svg"), "w") as f:
            f.write(build(LIGHT_ROOT, base, recolour, badge) + "\n")
        dark_path = os.path.join(HERE, "dark", name + ".svg")
        if dark:
            dark_colour = dark if isinstance(dark, str) else recolour
            with open(dark_path, "w") as f:
                f.write(build(DARK_ROOT, base, dark_colour, badge) + "\n")
        elif os.path.exists(dark_path):
            os.remove(dark_path)
    return 0


if __name__ == "__main__":
    sys.exit(main())
