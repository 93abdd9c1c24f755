#!/usr/bin/env python3
"""Writes the client's skins as SVG files beside this script.

The SVG files are the sources the build renders to PNG (rsvg-convert); this
script is how they were drawn, kept so that the whole look can be changed in
one place (colours, corner shapes, glyphs). Run it and commit its output.

Rules the skins follow, because of how the program reads them:
- fully transparent pixels become the magenta key (cut out of frames, masked
  out of buttons); half-transparent pixels are blended onto white, so strips
  and frame outlines are drawn with crisp edges, never soft ones;
- frame skins keep their corner shapes inside the 9 x 9 corner blocks;
- a strip holds four equal frames: normal, hover, pressed, disabled.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
FONT = "WenQuanYi Micro Hei"

# The palette: deep navy chrome, steel-blue body, a warm gold accent.
NAVY_TOP, NAVY_BOTTOM, NAVY_EDGE = "#24385c", "#15223b", "#0a1222"
BODY_TOP, BODY_BOTTOM = "#1c2c47", "#101a2c"
LIGHT_TOP, LIGHT_BOTTOM = "#f7f9fc", "#e8edf5"
GOLD, GOLD_DARK = "#f2b84b", "#c98a1c"
BLUE, BLUE_DARK, BLUE_LIGHT = "#3b8fe8", "#2467b8", "#6fb2ff"
RED, RED_DARK = "#e5484d", "#b62e33"
GREY = "#8a94a6"


def svg(w, h, body, defs=""):
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">\n'
            f'<defs>{defs}</defs>\n{body}\n</svg>\n')


def grad(gid, top, bottom, x2="0", y2="1"):
    return (f'<linearGradient id="{gid}" x1="0" y1="0" x2="{x2}" y2="{y2}">'
            f'<stop offset="0" stop-color="{top}"/><stop offset="1" stop-color="{bottom}"/></linearGradient>')


def write(name, text):
    with open(os.path.join(HERE, name), "w", encoding="utf-8") as f:
        f.write(text)


def frame_skin(name, caption, dark_body):
    """30 x 51 frame: caption band 30, border 4, stepped top corners."""
    w, h = 30, 51
    body_top, body_bottom = (BODY_TOP, BODY_BOTTOM) if dark_body else (LIGHT_TOP, LIGHT_BOTTOM)
    defs = grad("cap", NAVY_TOP, NAVY_BOTTOM) + grad("body", body_top, body_bottom)
    # Corners cut as pixel steps: rows 0-2 lose 4, 2, 1 pixels at each side;
    # the bottom corners lose one pixel.
    outline = ("M4,0 H26 V1 H28 V2 H29 V4 H30 V50 H29 V51 H1 V50 H0 V4 H1 V2 H2 V1 H4 Z")
    body = (f'<g shape-rendering="crispEdges">'
            f'<path d="{outline}" fill="{NAVY_EDGE}"/>'
            f'<path d="M4,1 H26 V2 H28 V4 H29 V{caption} H1 V4 H2 V2 H4 Z" fill="url(#cap)"/>'
            f'<rect x="4" y="1" width="22" height="1" fill="#3d5887"/>'
            # The caption's last row is its gold rule: rows from the caption
            # height down are stretched, so the body below stays uniform.
            f'<rect x="1" y="{caption - 1}" width="28" height="1" fill="{GOLD_DARK}"/>'
            f'<rect x="1" y="{caption}" width="28" height="{h - caption - 4}" fill="url(#body)"/>'
            f'<rect x="1" y="{h - 4}" width="28" height="3" fill="{NAVY_BOTTOM}"/>'
            f'<rect x="1" y="{h - 2}" width="28" height="1" fill="{NAVY_EDGE}"/>'
            f'</g>')
    write(name, svg(w, h, body, defs))


def strip(name, fw, fh, draw):
    """Four frames side by side; draw(i, x) returns the frame's SVG."""
    parts = [draw(i, i * fw) for i in range(4)]
    write(name, svg(4 * fw, fh, '<g shape-rendering="crispEdges">' + "".join(parts) + "</g>"))


def caption_button(name, fw, fh, glyph, hover, pressed):
    """Caption buttons: transparent at rest, a solid plate under the cursor."""
    def draw(i, x):
        plate = {1: hover, 2: pressed}.get(i)
        colour = "#ffffff" if i < 3 else GREY
        out = ""
        if plate:
            out += f'<rect x="{x}" y="0" width="{fw}" height="{fh}" fill="{plate}"/>'
        cx, cy = x + fw // 2, fh // 2 + (1 if i == 2 else 0)
        out += glyph(cx, cy, colour)
        return out
    strip(name, fw, fh, draw)


def glyph_close(cx, cy, c):
    return (f'<path d="M{cx - 5},{cy - 5} L{cx + 5},{cy + 5} M{cx + 5},{cy - 5} L{cx - 5},{cy + 5}" '
            f'stroke="{c}" stroke-width="2" shape-rendering="crispEdges"/>')


def glyph_min(cx, cy, c):
    return f'<rect x="{cx - 5}" y="{cy + 2}" width="10" height="2" fill="{c}"/>'


def glyph_max(cx, cy, c):
    return (f'<rect x="{cx - 5}" y="{cy - 5}" width="10" height="9" fill="none" stroke="{c}" stroke-width="1"/>'
            f'<rect x="{cx - 5}" y="{cy - 5}" width="10" height="2" fill="{c}"/>')


def glyph_restore(cx, cy, c):
    return (f'<rect x="{cx - 2}" y="{cy - 6}" width="8" height="7" fill="none" stroke="{c}" stroke-width="1"/>'
            f'<rect x="{cx - 5}" y="{cy - 3}" width="8" height="7" fill="{NAVY_BOTTOM}" stroke="{c}" stroke-width="1"/>'
            f'<rect x="{cx - 5}" y="{cy - 3}" width="8" height="2" fill="{c}"/>')


def pill(x, w, h, top, bottom, edge, gid):
    """A button plate with one-pixel stepped corners."""
    return (f'<defs>{grad(gid, top, bottom)}</defs>'
            f'<path d="M{x + 1},0 H{x + w - 1} V1 H{x + w} V{h - 1} H{x + w - 1} V{h} H{x + 1} V{h - 1} H{x} V1 H{x + 1} Z" '
            f'fill="{edge}"/>'
            f'<path d="M{x + 1},1 H{x + w - 1} V{h - 1} H{x + 1} Z" fill="url(#{gid})"/>'
            f'<rect x="{x + 1}" y="1" width="{w - 2}" height="1" fill="#ffffff" fill-opacity="0.35"/>')


STATE_PLATES = [  # top, bottom, edge for normal, hover, pressed, disabled
    (BLUE_LIGHT, BLUE, BLUE_DARK),
    ("#8cc4ff", "#4a9cf2", BLUE_DARK),
    (BLUE_DARK, "#1d5499", "#143d70"),
    ("#c9ced8", "#aeb5c2", "#9aa1ad"),
]
TOOL_PLATES = [  # the main frame's tool row: dark plates that light up
    ("#2a3d60", "#1d2c48", "#0e1828"),
    ("#3a5480", "#284066", "#0e1828"),
    ("#17253f", "#1d2c48", "#0e1828"),
    ("#2a3140", "#222833", "#161b24"),
]


def text(x, y, s, colour, size=12, weight="normal", anchor="middle"):
    return (f'<text x="{x}" y="{y}" font-family="{FONT}" font-size="{size}" font-weight="{weight}" '
            f'fill="{colour}" text-anchor="{anchor}" shape-rendering="auto">{s}</text>')


def labelled_button(name, fw, fh, label, plates=TOOL_PLATES, icon=None, colours=None):
    colours = colours or ["#e6edf7", "#ffffff", GOLD, "#7b8494"]

    def draw(i, x):
        top, bottom, edge = plates[i]
        out = pill(x, fw, fh, top, bottom, edge, f"p{i}")
        tx = x + fw // 2
        if icon:
            out += icon(x + 6, fh // 2, colours[i])
            tx += 7
        if label:
            out += text(tx, fh // 2 + 5 + (1 if i == 2 else 0), label, colours[i])
        return out
    strip(name, fw, fh, draw)


def icon_speaker(muted):
    def draw(x, cy, c):
        out = (f'<path d="M{x},{cy - 2} H{x + 3} L{x + 7},{cy - 6} V{cy + 6} L{x + 3},{cy + 2} H{x} Z" fill="{c}"/>')
        if muted:
            out += (f'<path d="M{x + 9},{cy - 3} L{x + 14},{cy + 2} M{x + 14},{cy - 3} L{x + 9},{cy + 2}" '
                    f'stroke="{RED}" stroke-width="1.6"/>')
        else:
            out += (f'<path d="M{x + 9},{cy - 3} Q{x + 11},{cy} {x + 9},{cy + 3}" stroke="{c}" fill="none"/>'
                    f'<path d="M{x + 11},{cy - 5} Q{x + 14},{cy} {x + 11},{cy + 5}" stroke="{c}" fill="none"/>')
        return out
    return draw


def tabs():
    """Three 176 x 22 tab frames: normal, hover, current."""
    fw, fh = 176, 22
    fills = [("#22345a", "#1a2947"), ("#2e4673", "#22365c"), (BODY_TOP, BODY_TOP)]
    parts = []
    for i, (top, bottom) in enumerate(fills):
        x = i * fw
        edge = GOLD if i == 2 else "#3a5276"
        parts.append(f'<defs>{grad(f"t{i}", top, bottom)}</defs>'
                     f'<path d="M{x + 6},0 H{x + fw - 6} L{x + fw - 1},{fh} H{x + 1} Z" fill="url(#t{i})"/>'
                     f'<path d="M{x + 6},0 H{x + fw - 6} V1 H{x + 6} Z" fill="{edge}"/>'
                     f'<rect x="{x + 14}" y="7" width="8" height="8" fill="{GOLD if i == 2 else "#6d84a8"}"/>')
    write("140-tabs.svg", svg(3 * fw, fh, '<g shape-rendering="crispEdges">' + "".join(parts) + "</g>"))


def tab_close():
    fw = 14
    parts = []
    for i, plate in enumerate([None, RED, RED_DARK]):
        x = i * fw
        c = "#9fb0cc" if i == 0 else "#ffffff"
        if plate:
            parts.append(f'<rect x="{x + 1}" y="1" width="12" height="12" fill="{plate}"/>')
        parts.append(f'<path d="M{x + 4},4 L{x + 10},10 M{x + 10},4 L{x + 4},10" stroke="{c}" stroke-width="1.6"/>')
    write("141-tab-close.svg", svg(3 * fw, 14, '<g shape-rendering="crispEdges">' + "".join(parts) + "</g>"))


def progress():
    w, h = 390, 21
    track = (f'<g shape-rendering="crispEdges"><path d="M2,0 H{w - 2} V1 H{w - 1} V2 H{w} V{h - 2} H{w - 1} V{h - 1} '
             f'H{w - 2} V{h} H2 V{h - 1} H1 V{h - 2} H0 V2 H1 V1 H2 Z" fill="#b9c3d3"/>'
             f'<rect x="2" y="2" width="{w - 4}" height="{h - 4}" fill="url(#tr)"/></g>')
    write("152-progress-track.svg", svg(w, h, track, grad("tr", "#dfe5ee", "#f6f8fb")))
    bar = (f'<g shape-rendering="crispEdges"><path d="M2,0 H{w - 2} V1 H{w - 1} V2 H{w} V{h - 2} H{w - 1} V{h - 1} '
           f'H{w - 2} V{h} H2 V{h - 1} H1 V{h - 2} H0 V2 H1 V1 H2 Z" fill="{BLUE_DARK}"/>'
           f'<rect x="2" y="2" width="{w - 4}" height="{h - 4}" fill="url(#br)"/>'
           + "".join(f'<path d="M{x},2 h8 l-6,{h - 4} h-8 Z" fill="#ffffff" fill-opacity="0.12"/>'
                     for x in range(8, w, 20))
           + '</g>')
    write("153-progress-bar.svg", svg(w, h, bar, grad("br", BLUE_LIGHT, BLUE_DARK)))


def login_background():
    w, h = 1125, 696
    defs = (grad("sky", "#0e1a33", "#27406b") + grad("panel", "#ffffff", "#eef2f8")
            + '<filter id="soft" x="-5%" y="-5%" width="110%" height="110%"><feGaussianBlur stdDeviation="9"/></filter>'
            + f'<clipPath id="inner"><rect x="24" y="20" width="{w - 48}" height="{h - 48}" rx="10"/></clipPath>'
            + f'<radialGradient id="glow" cx="0.3" cy="0.35" r="0.6"><stop offset="0" stop-color="{GOLD}" stop-opacity="0.55"/>'
            + '<stop offset="1" stop-color="#27406b" stop-opacity="0"/></radialGradient>')
    peaks = " ".join(f"L{x},{y}" for x, y in [(0, 520), (120, 430), (210, 470), (330, 360), (450, 450),
                                               (560, 400), (700, 470), (1125, 470)])
    body = (f'<rect x="18" y="18" width="{w - 36}" height="{h - 36}" rx="14" fill="#000000" fill-opacity="0.55" filter="url(#soft)"/>'
            f'<rect x="24" y="20" width="{w - 48}" height="{h - 48}" rx="10" fill="url(#sky)"/>'
            f'<rect x="24" y="20" width="{w - 48}" height="{h - 48}" rx="10" fill="url(#glow)"/>'
            f'<path d="M24,{h - 20} {peaks.replace("L0,", "L24,").replace("L1125,", f"L{w - 24},")} L{w - 24},{h - 20} Z" fill="#0b1426" fill-opacity="0.85" clip-path="url(#inner)"/>'
            f'<circle cx="300" cy="210" r="70" fill="{GOLD}" fill-opacity="0.85"/>'
            f'<circle cx="300" cy="210" r="86" fill="none" stroke="{GOLD}" stroke-opacity="0.35" stroke-width="3"/>'
            + text(300, 330, "CORVANE", "#ffffff", 40, "bold")
            + text(300, 362, "网页游戏登录器", "#c9d6ec", 18)
            + f'<rect x="560" y="70" width="520" height="556" rx="8" fill="url(#panel)"/>'
            f'<rect x="560" y="70" width="520" height="4" fill="{GOLD}"/>')
    write("129-login-background.svg", svg(w, h, body, defs))


def banner():
    w, h = 284, 150
    body = (f'<rect width="{w}" height="{h}" fill="url(#b)"/>'
            f'<circle cx="60" cy="75" r="34" fill="{GOLD}"/>'
            + text(180, 72, "CORVANE", "#ffffff", 24, "bold") + text(180, 100, "欢迎回来", "#c9d6ec", 14))
    write("162-banner.svg", svg(w, h, body, grad("b", NAVY_TOP, BODY_BOTTOM, "1", "1")))


def account_icon():
    body = (f'<circle cx="8" cy="5" r="3.5" fill="#949494"/>'
            f'<path d="M1.5,15.5 C1.5,10 14.5,10 14.5,15.5 Z" fill="#949494"/>')
    write("172-account.svg", svg(16, 16, body))


def shot_toolbar():
    w, h = 152, 26
    body = (f'<g shape-rendering="crispEdges"><path d="M2,0 H{w - 2} V1 H{w - 1} V2 H{w} V{h - 2} H{w - 1} V{h - 1} '
            f'H{w - 2} V{h} H2 V{h - 1} H1 V{h - 2} H0 V2 H1 V1 H2 Z" fill="{NAVY_EDGE}"/>'
            f'<rect x="1" y="1" width="{w - 2}" height="{h - 2}" fill="url(#tb)"/>'
            f'<rect x="52" y="5" width="1" height="16" fill="#3a5276"/><rect x="99" y="5" width="1" height="16" fill="#3a5276"/></g>')
    write("177-shot-toolbar.svg", svg(w, h, body, grad("tb", NAVY_TOP, NAVY_BOTTOM)))


def shot_button(name, fw, fh, label, icon):
    colours = ["#dfe7f3", "#ffffff", GOLD, "#6b7485"]

    def draw(i, x):
        c = colours[i]
        # Always on a plate of the toolbar's own colour: anti-aliased text on
        # transparent pixels would be blended onto white.
        plate = {1: "#34507e", 2: "#0e1828"}.get(i, "#1d2d4b")
        out = f'<rect x="{x}" y="0" width="{fw}" height="{fh}" fill="{plate}"/>'
        out += icon(x + 3, fh // 2, c)
        out += text(x + 26, fh // 2 + 4, label, c, 11)
        return out
    strip(name, fw, fh, draw)


def icon_tick(x, cy, c):
    return f'<path d="M{x},{cy} L{x + 3},{cy + 3} L{x + 9},{cy - 3}" stroke="{c}" stroke-width="2" fill="none"/>'


def icon_cross(x, cy, c):
    return f'<path d="M{x + 1},{cy - 4} L{x + 8},{cy + 3} M{x + 8},{cy - 4} L{x + 1},{cy + 3}" stroke="{c}" stroke-width="2"/>'


def icon_disk(x, cy, c):
    return (f'<rect x="{x}" y="{cy - 5}" width="10" height="10" fill="{c}"/>'
            f'<rect x="{x + 2}" y="{cy - 5}" width="6" height="3" fill="{NAVY_BOTTOM}"/>')


def icon_plus(cx, cy, c):
    return f'<rect x="{cx - 4}" y="{cy - 1}" width="8" height="2" fill="{c}"/><rect x="{cx - 1}" y="{cy - 4}" width="2" height="8" fill="{c}"/>'


def icon_boss(x, cy, c):
    return (f'<rect x="{x}" y="{cy - 5}" width="11" height="8" fill="none" stroke="{c}"/>'
            f'<rect x="{x + 3}" y="{cy + 4}" width="5" height="1" fill="{c}"/>')


def icon_menu(x, cy, c):
    return "".join(f'<rect x="{x + 2}" y="{cy - 5 + 4 * k}" width="11" height="2" fill="{c}"/>' for k in range(3))


def app_icon(name, size):
    s = size
    r = max(2, s // 6)
    body = (f'<rect x="0" y="0" width="{s}" height="{s}" rx="{r}" fill="url(#g)"/>'
            f'<circle cx="{s / 2}" cy="{s / 2}" r="{s * 0.3}" fill="{GOLD}"/>'
            f'<path d="M{s * 0.5},{s * 0.27} L{s * 0.62},{s * 0.5} L{s * 0.5},{s * 0.73} L{s * 0.38},{s * 0.5} Z" fill="{NAVY_BOTTOM}"/>')
    write(name, svg(s, s, body, grad("g", BLUE, NAVY_BOTTOM)))


def fav_icon(name, size):
    s = size
    pts = []
    import math
    for k in range(10):
        rad = s * (0.46 if k % 2 == 0 else 0.2)
        a = -math.pi / 2 + k * math.pi / 5
        pts.append(f"{s / 2 + rad * math.cos(a):.2f},{s / 2 + 0.04 * s + rad * math.sin(a):.2f}")
    write(name, svg(s, s, f'<polygon points="{" ".join(pts)}" fill="{GOLD}" stroke="{GOLD_DARK}"/>'))


def shot_cursor():
    s = 44
    c = s // 2
    body = (f'<g shape-rendering="crispEdges">'
            f'<rect x="{c - 1}" y="0" width="3" height="{s}" fill="#ffffff"/><rect x="0" y="{c - 1}" width="{s}" height="3" fill="#ffffff"/>'
            f'<rect x="{c}" y="0" width="1" height="{s}" fill="{BLUE_DARK}"/><rect x="0" y="{c}" width="{s}" height="1" fill="{BLUE_DARK}"/>'
            f'</g>')
    write("173-shot-cursor-44.svg", svg(s, s, body))


def main():
    login_background()
    frame_skin("131-frame-light.svg", 30, dark_body=False)
    frame_skin("134-frame-main.svg", 30, dark_body=True)
    caption_button("132-close.svg", 30, 25, glyph_close, RED, RED_DARK)
    caption_button("165-close-small.svg", 33, 27, glyph_close, RED, RED_DARK)
    caption_button("135-max.svg", 29, 25, glyph_max, "#34507e", "#0e1828")
    caption_button("136-min.svg", 29, 25, glyph_min, "#34507e", "#0e1828")
    caption_button("137-restore.svg", 29, 25, glyph_restore, "#34507e", "#0e1828")
    labelled_button("133-button.svg", 57, 23, "", plates=STATE_PLATES)
    labelled_button("138-boss.svg", 53, 25, "老板", icon=icon_boss)
    labelled_button("139-tool-menu.svg", 29, 25, "", icon=icon_menu)
    tabs()
    tab_close()
    labelled_button("148-sound-off.svg", 56, 23, "静音", icon=icon_speaker(True))
    labelled_button("149-sound-on.svg", 56, 23, "声音", icon=icon_speaker(False))
    progress()
    banner()
    strip("164-new-page.svg", 28, 16, lambda i, x: (
        pill(x, 28, 16, *TOOL_PLATES[i], f"n{i}") + icon_plus(x + 14, 8, ["#e6edf7", "#ffffff", GOLD, "#7b8494"][i])))
    labelled_button("166-refresh.svg", 57, 23, "刷新")
    labelled_button("167-screenshot.svg", 63, 23, "截图")
    labelled_button("168-service.svg", 60, 23, "客服")
    labelled_button("169-novice.svg", 60, 23, "新手卡")
    labelled_button("170-pay.svg", 60, 23, "充值", colours=[GOLD, "#ffd98a", "#ffffff", "#7b8494"])
    labelled_button("171-messages.svg", 60, 23, "消息")
    account_icon()
    shot_toolbar()
    shot_button("178-shot-cancel.svg", 40, 15, "取消", icon_cross)
    shot_button("179-shot-finish.svg", 42, 12, "完成", icon_tick)
    shot_button("180-shot-save.svg", 42, 16, "保存", icon_disk)
    for size in (16, 24, 32, 48):
        app_icon(f"128-app-{size}.svg", size)
    for size in (16, 32):
        fav_icon(f"155-favourite-{size}.svg", size)
    shot_cursor()


if __name__ == "__main__":
    main()
