#!/usr/bin/env python3
"""Checks a screenshot of the settings dialog against its layout at one display scale.

    dialog_ink.py SCREENSHOT CLIENT_X CLIENT_Y LAYOUT_FOLDER SELECTED_KIND

LAYOUT_FOLDER is what `dialog-layout DPI FOLDER` wrote. Every pixel that differs from the
background the dialog paints (the gradient on the form, the strip on the panel) must belong to
a control: inside a control's box, or the text of a label sized to its text. Our label font is a
metric twin of the original, so a label's ink may run a little past its box (at most a tenth of
its size, as at 96 DPI), but never into another control. Each label and caption has ink, the
marks' rings are round(DPI / 96) pixels wide and the selected mark is blue, and the buttons'
frame lines are as wide. Prints one line per fault; exits 1 on any.
"""
import subprocess
import sys


def read_ppm(path):
    data = open(path, "rb").read()
    fields = data.split(maxsplit=4)
    width, height = int(fields[1]), int(fields[2])
    return width, height, fields[4][: width * height * 3]


def main():
    shot, cx, cy, folder, selected = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), sys.argv[4], int(sys.argv[5])
    boxes, captions = {}, {}
    for line in open(folder + "/layout.txt"):
        surface, name, x, y, w, h = line.split()
        if surface == "caption":
            captions[name] = (int(x), int(y), int(w), int(h))
        else:
            boxes[(surface, name)] = (int(x), int(y), int(w), int(h))
    width, height = boxes[("client", "-")][2:]
    ring = boxes[("ring", "-")][0]
    raw = subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (width, height, cx, cy),
                          "-depth", "8", "rgb:-"], check=True, stdout=subprocess.PIPE).stdout
    if len(raw) != width * height * 3:
        print("the screenshot does not hold the %dx%d client at %d,%d" % (width, height, cx, cy))
        return 1
    form_w, form_h, form = read_ppm(folder + "/form.ppm")
    panel_w, panel_h, panel = read_ppm(folder + "/panel.ppm")
    px, py = boxes[("form", "panel")][:2]

    def at(x, y):
        i = (y * width + x) * 3
        return raw[i], raw[i + 1], raw[i + 2]

    def background(x, y):
        if px <= x < px + panel_w and py <= y < py + panel_h:
            i = ((y - py) * panel_w + (x - px)) * 3
            return panel[i], panel[i + 1], panel[i + 2]
        i = (y * form_w + x) * 3
        return form[i], form[i + 1], form[i + 2]

    labels = {("form", "credit"), ("form", "link"), ("panel", "title"), ("panel", "repeat-label"),
              ("panel", "kind-0"), ("panel", "kind-1"), ("panel", "kind-2")}
    controls = {key: b for key, b in boxes.items() if key[0] in ("form", "panel") and key[1] != "panel"}

    def inside(box, x, y):
        bx, by, bw, bh = box
        return bx <= x < bx + bw and by <= y < by + bh

    def slack(box):  # where a label's text may reach
        bx, by, bw, bh = box
        return (bx - ring, by - ring, bw + -(-bw // 10) + 2 * ring, bh + -(-bh // 10) + 2 * ring)

    drawn = [[at(x, y) != background(x, y) for x in range(width)] for y in range(height)]
    faults = []
    stray = [(x, y) for y in range(height) for x in range(width) if drawn[y][x]
             and not any(inside(b, x, y) for b in controls.values())
             and not any(inside(slack(controls[key]), x, y) for key in labels)]
    if stray:
        xs = [p[0] for p in stray]
        ys = [p[1] for p in stray]
        faults.append("%d pixels drawn outside every control, within x %d..%d, y %d..%d"
                      % (len(stray), min(xs), max(xs), min(ys), max(ys)))

    # Each label's ink, and what it may not touch: another control, or its surface's edge.
    for key in sorted(labels):
        sx, sy, sw, sh = slack(controls[key])
        others = [b for k, b in controls.items() if k != key]
        ink = [(x, y) for y in range(max(sy, 0), min(sy + sh, height))
               for x in range(max(sx, 0), min(sx + sw, width))
               if drawn[y][x] and not any(inside(b, x, y) for b in others)]
        if not ink:
            faults.append("no text in %s" % key[1])
            continue
        left, right = min(p[0] for p in ink), max(p[0] for p in ink)
        top, bottom = min(p[1] for p in ink), max(p[1] for p in ink)
        for other_key, (ox, oy, ow, oh) in controls.items():
            if other_key == key:
                continue
            if left <= ox + ow and right >= ox - 1 and top <= oy + oh and bottom >= oy - 1:
                faults.append("the text of %s (x %d..%d, y %d..%d) runs into %s"
                              % (key[1], left, right, top, bottom, other_key[1]))
        if key[0] == "panel":
            pw_, ph_ = panel_w, panel_h
            if right >= px + pw_ - 1 or bottom >= py + ph_ - 1:
                faults.append("the text of %s reaches the panel's edge" % key[1])

    # Captions: ink (black, or the disabled grey) inside the face's frame.
    for name, (bx, by, bw, bh) in captions.items():
        face = boxes[("form", name)] if ("form", name) in boxes else boxes[("panel", name)]
        fx, fy, fw, fh = face
        frame = 4 * ring
        ink = [y for y in range(fy + frame, fy + fh - frame)
               if any(sum(at(x, y)) < 560 for x in range(fx + frame, fx + fw - frame))]
        if not ink:
            faults.append("no caption on %s" % name)

    for kind in range(3):
        mx, my, _, _ = boxes[("panel", "mark-%d" % kind)]
        middle = at(mx + ring * 2 + 2, my + (12 * ring) // 2)
        for i in range(ring):
            if at(mx + i, my + 5 * ring) != (128, 128, 128):
                faults.append("mark %d: no shadow at column %d" % (kind, i))
            if at(mx + ring + i, my + 5 * ring) != (48, 48, 56):
                faults.append("mark %d: no dark frame at column %d" % (kind, ring + i))
        if at(mx + 2 * ring, my + 5 * ring) == (48, 48, 56):
            faults.append("mark %d: the dark frame is wider than %d" % (kind, ring))
        is_blue = middle[2] > middle[0] + 60
        if is_blue != (kind == selected):
            faults.append("mark %d %s" % (kind, "is not selected" if kind == selected else "is selected"))

    # The button frames: at a ring of 2 every frame column of the left edge is doubled.
    bx, by, bw, bh = boxes[("form", "set-button")]
    for i in range(0, 4 * ring, ring):
        column = [at(bx + i + j, by + bh // 2) for j in range(ring)]
        if len(set(column)) != 1:
            faults.append("set-button: frame column %d is not %d pixels wide: %s" % (i, ring, column))

    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
