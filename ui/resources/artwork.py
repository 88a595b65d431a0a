"""The setup's artwork, drawn from shapes: a pair of beamed eighth notes in
gold on a midnight-blue tile, with sound waves leaving them to the right.

Shapes are signed distance functions in pixel units; a pixel's coverage is
taken from the distance at its centre, which gives smooth edges with one
sample per pixel. Everything is plain arithmetic, so the output is the same
on every machine.
"""

import math

MIDNIGHT_TOP = (32, 44, 82)
MIDNIGHT_BOTTOM = (12, 16, 36)
GLOW = (58, 78, 140)
GOLD = (244, 196, 84)
GOLD_LIGHT = (255, 232, 160)
TEAL = (86, 214, 200)
FLAT_TILE = (24, 32, 110)


def clamp(value, low=0.0, high=1.0):
    return low if value < low else high if value > high else value


def mix(a, b, amount):
    return tuple(x + (y - x) * amount for x, y in zip(a, b))


def coverage(distance):
    """Fraction of a pixel covered by a shape whose edge is `distance` away."""
    return clamp(0.5 - distance)


def ellipse_distance(px, py, cx, cy, rx, ry, angle):
    """Approximate distance to a rotated ellipse (good near its edge)."""
    c, s = math.cos(angle), math.sin(angle)
    dx, dy = px - cx, py - cy
    u, v = dx * c + dy * s, -dx * s + dy * c
    k = math.hypot(u / rx, v / ry)
    return (k - 1.0) * min(rx, ry)


def box_distance(px, py, cx, cy, half_w, half_h, angle=0.0):
    c, s = math.cos(angle), math.sin(angle)
    dx, dy = px - cx, py - cy
    u, v = abs(dx * c + dy * s) - half_w, abs(-dx * s + dy * c) - half_h
    outside = math.hypot(max(u, 0.0), max(v, 0.0))
    return outside + min(max(u, v), 0.0)


def arc_distance(px, py, cx, cy, radius, half_width, half_angle):
    """A ring segment facing right, with round caps."""
    dx, dy = px - cx, py - cy
    if abs(math.atan2(dy, dx)) <= half_angle:
        return abs(math.hypot(dx, dy) - radius) - half_width
    ex = cx + radius * math.cos(half_angle)
    ey = cy + radius * math.sin(half_angle) * (1 if dy > 0 else -1)
    return math.hypot(px - ex, py - ey) - half_width


def notes_distance(px, py, scale, ox, oy):
    """Two eighth notes joined by a beam, in a 64-unit design space."""
    x, y = (px - ox) / scale, (py - oy) / scale
    heads = min(
        ellipse_distance(x, y, 17.0, 45.0, 7.2, 5.2, -0.45),
        ellipse_distance(x, y, 39.0, 41.0, 7.2, 5.2, -0.45),
    )
    stems = min(
        box_distance(x, y, 22.6, 28.5, 1.7, 16.0),
        box_distance(x, y, 44.6, 24.5, 1.7, 16.0),
    )
    beam = box_distance(x, y, 33.6, 12.5 + 0.0, 12.6, 3.6, -math.atan2(4.0, 22.0))
    return min(heads, stems, beam) * scale


def tile_distance(px, py, size, radius):
    half = size / 2.0
    return box_distance(px, py, half, half, half - radius, half - radius) - radius


def background(px, py, size):
    """Midnight gradient with a soft glow behind the notes."""
    t = clamp(py / size)
    colour = mix(MIDNIGHT_TOP, MIDNIGHT_BOTTOM, t)
    glow = math.hypot(px - size * 0.40, py - size * 0.55) / (size * 0.55)
    return mix(colour, GLOW, 0.55 * clamp(1.0 - glow) ** 2)


def paint_notes(colour, px, py, scale, ox, oy):
    d = notes_distance(px, py, scale, ox, oy)
    a = coverage(d)
    if a <= 0.0:
        return colour
    # A little light from the upper left.
    shade = clamp(0.5 - (px - ox + py - oy) / (64.0 * scale))
    return mix(colour, mix(GOLD, GOLD_LIGHT, shade), a)


def median_cut(histogram, count):
    """Splits the colours into `count` boxes (the widest channel of the
    heaviest box at its weighted median) and gives the palette and the
    colour -> index map."""
    boxes = [sorted(histogram.items())]

    def spread(box):
        ranges = [max(c[0][i] for c in box) - min(c[0][i] for c in box) for i in range(3)]
        return max(ranges), ranges.index(max(ranges))

    while len(boxes) < count:
        candidates = [(spread(b)[0] * sum(n for _, n in b), i)
                      for i, b in enumerate(boxes) if len(b) > 1]
        if not candidates:
            break
        _, chosen = max(candidates)
        box = boxes.pop(chosen)
        channel = spread(box)[1]
        box.sort(key=lambda item: (item[0][channel], item[0]))
        half = sum(n for _, n in box) / 2.0
        running, cut = 0, 1
        for i, (_, n) in enumerate(box[:-1]):
            running += n
            cut = i + 1
            if running >= half:
                break
        boxes.insert(chosen, box[cut:])
        boxes.insert(chosen, box[:cut])
    palette, index_of = [], {}
    for index, box in enumerate(boxes):
        total = sum(n for _, n in box)
        palette.append(tuple(int(round(sum(c[i] * n for c, n in box) / total)) for i in range(3)))
        for colour, _ in box:
            index_of[colour] = index
    palette += [(0, 0, 0)] * (count - len(palette))
    return palette, index_of


def logo_frame(size, frame, frame_count):
    """One frame of the animated logo as rows of (r, g, b) bytes. The waves
    travel outwards and the notes sway gently; both repeat after
    `frame_count` frames, so the animation loops without a jump."""
    phase = frame / frame_count
    sway = 1.2 * math.sin(2.0 * math.pi * phase)
    scale = size / 64.0 * 0.62
    ox, oy = size * 0.04, size * 0.20 + sway
    centre_x, centre_y = size * 0.52, size * 0.52
    rows = []
    for y in range(size):
        row = []
        py = y + 0.5
        for x in range(size):
            px = x + 0.5
            colour = background(px, py, size)
            for wave in range(3):
                progress = (phase + wave / 3.0) % 1.0
                radius = size * (0.10 + 0.38 * progress)
                fade = math.sin(math.pi * progress) ** 1.5
                d = arc_distance(px, py, centre_x, centre_y, radius, 1.5, 0.75)
                a = coverage(d) * fade
                if a > 0.0:
                    colour = mix(colour, TEAL, a)
            colour = paint_notes(colour, px, py, scale, ox, oy)
            row.append(tuple(int(round(clamp(c, 0, 255))) for c in colour))
        rows.append(row)
    return rows


def icon_image(size, flat=False):
    """The icon at `size` pixels as rows of (r, g, b, alpha 0..1): the notes
    on a rounded tile, with one sound wave where there is room for it.
    `flat` gives the tile one colour, for the 16-colour images."""
    radius = max(2.0, size * 0.18)
    scale = size / 64.0 * (0.80 if size < 24 else 0.72)
    ox = size * (0.06 if size < 24 else 0.02)
    oy = size * 0.08
    rows = []
    for y in range(size):
        row = []
        py = y + 0.5
        for x in range(size):
            px = x + 0.5
            alpha = coverage(tile_distance(px, py, size, radius))
            colour = FLAT_TILE if flat else background(px, py, size)
            if size >= 32:
                d = arc_distance(px, py, size * 0.50, size * 0.52, size * 0.36,
                                 max(1.0, size / 32.0), 0.70)
                colour = mix(colour, TEAL, coverage(d) * 0.85)
            colour = paint_notes(colour, px, py, scale, ox, oy)
            row.append(tuple(int(round(clamp(c, 0, 255))) for c in colour) + (alpha,))
        rows.append(row)
    return rows
