#!/usr/bin/python3
"""Generate the fixed pictures that the exported HTML page embeds.

Run from the repository root:

    /usr/bin/python3 assets/make_assets.py

Every picture is computed from code (gradients, polygons, analytic
lighting), so the output is deterministic and needs no fonts or other
external files.  Pillow is used only to encode PNG and JPEG; the icon
container is written by hand.

Outputs (in the directory of this script):
    icon.ico            16x16 32-bit icon (BMP payload with AND mask)
    cube1..6.jpg        64x64 environment cube faces +X,-X,+Y,-Y,+Z,-Z
    backdrop.png        8x800 page background strip
    band.png            8x910 translucent glow band
    corner.png          128x128 turned-up page corner
    edge.jpg            2x2 page edge colour (behind the help text)
    fold.png            51x70 dog-ear fold
    logo.png            150x33 "ZEM" logo
"""

import math
import os
import struct
import sys

from PIL import Image

OUT_DIR = os.path.dirname(os.path.abspath(__file__))

# --------------------------------------------------------------------------
# Small raster helpers (straight-alpha float canvas, supersampled polygons)
# --------------------------------------------------------------------------


def clamp(v, lo=0.0, hi=1.0):
    return lo if v < lo else hi if v > hi else v


def mix(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def smoothstep(e0, e1, v):
    t = clamp((v - e0) / (e1 - e0))
    return t * t * (3.0 - 2.0 * t)


def hex_rgb(s):
    s = s.lstrip("#")
    return tuple(int(s[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


class Canvas:
    """RGBA canvas with straight (non-premultiplied) float channels."""

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(w * h)]

    def over(self, x, y, rgb, a):
        """Composite colour rgb with opacity a over pixel (x, y)."""
        if a <= 0.0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        a = min(a, 1.0)
        p = self.px[y * self.w + x]
        da = p[3]
        oa = a + da * (1.0 - a)
        for i in range(3):
            p[i] = (rgb[i] * a + p[i] * da * (1.0 - a)) / oa
        p[3] = oa

    def image(self):
        data = []
        for p in self.px:
            data.append(tuple(int(round(clamp(c) * 255.0)) for c in p))
        img = Image.new("RGBA", (self.w, self.h))
        img.putdata(data)
        return img


def point_in_poly(x, y, poly):
    inside = False
    n = len(poly)
    j = n - 1
    for i in range(n):
        xi, yi = poly[i]
        xj, yj = poly[j]
        if (yi > y) != (yj > y):
            xc = xi + (y - yi) * (xj - xi) / (yj - yi)
            if x < xc:
                inside = not inside
        j = i
    return inside


def coverage(polys, w, h, ss=6):
    """Fraction of each pixel covered by the union of polygons."""
    cov = [0.0] * (w * h)
    if not polys:
        return cov
    xs = [p[0] for poly in polys for p in poly]
    ys = [p[1] for poly in polys for p in poly]
    x0, x1 = max(0, int(math.floor(min(xs)))), min(w, int(math.ceil(max(xs))))
    y0, y1 = max(0, int(math.floor(min(ys)))), min(h, int(math.ceil(max(ys))))
    boxes = []
    for poly in polys:
        boxes.append((min(p[0] for p in poly), max(p[0] for p in poly),
                      min(p[1] for p in poly), max(p[1] for p in poly), poly))
    inv = 1.0 / (ss * ss)
    for y in range(y0, y1):
        for x in range(x0, x1):
            n = 0
            for sy in range(ss):
                py = y + (sy + 0.5) / ss
                for sx in range(ss):
                    px = x + (sx + 0.5) / ss
                    for bx0, bx1, by0, by1, poly in boxes:
                        if bx0 <= px <= bx1 and by0 <= py <= by1 and \
                                point_in_poly(px, py, poly):
                            n += 1
                            break
            cov[y * w + x] = n * inv
    return cov


def fill(canvas, polys, color, opacity=1.0, ss=6):
    """Fill the union of polys; color is an rgb tuple or f(x, y) -> rgb."""
    cov = coverage(polys, canvas.w, canvas.h, ss)
    for y in range(canvas.h):
        for x in range(canvas.w):
            c = cov[y * canvas.w + x]
            if c > 0.0:
                rgb = color(x + 0.5, y + 0.5) if callable(color) else color
                canvas.over(x, y, rgb, c * opacity)


def erase(canvas, polys, ss=6):
    """Cut polys out of the canvas (reduce alpha by their coverage)."""
    cov = coverage(polys, canvas.w, canvas.h, ss)
    for i, c in enumerate(cov):
        canvas.px[i][3] *= (1.0 - c)


def box_blur(values, w, h, radius, passes=3):
    """Separable box blur, repeated to approximate a Gaussian."""
    v = list(values)
    for _ in range(passes):
        out = [0.0] * (w * h)
        for y in range(h):
            for x in range(w):
                s, n = 0.0, 0
                for k in range(x - radius, x + radius + 1):
                    if 0 <= k < w:
                        s += v[y * w + k]
                    n += 1
                out[y * w + x] = s / n
        v = out
        out = [0.0] * (w * h)
        for y in range(h):
            for x in range(w):
                s, n = 0.0, 0
                for k in range(y - radius, y + radius + 1):
                    if 0 <= k < h:
                        s += v[k * w + x]
                    n += 1
                out[y * w + x] = s / n
        v = out
    return v


def drop_shadow(canvas, polys, dx, dy, radius, strength, ss=4):
    """Soft black shadow of polys offset by (dx, dy)."""
    moved = [[(x + dx, y + dy) for x, y in poly] for poly in polys]
    cov = box_blur(coverage(moved, canvas.w, canvas.h, ss),
                   canvas.w, canvas.h, radius)
    for y in range(canvas.h):
        for x in range(canvas.w):
            canvas.over(x, y, (0.0, 0.0, 0.0), cov[y * canvas.w + x] * strength)


def curve(p0, p1, bulge, steps=24):
    """Points from p0 to p1 bowed sideways by `bulge` pixels (quadratic)."""
    mx, my = (p0[0] + p1[0]) / 2.0, (p0[1] + p1[1]) / 2.0
    dx, dy = p1[0] - p0[0], p1[1] - p0[1]
    ln = math.hypot(dx, dy)
    cx, cy = mx - dy / ln * bulge * 2.0, my + dx / ln * bulge * 2.0
    pts = []
    for i in range(steps + 1):
        t = i / steps
        a, b, c = (1 - t) ** 2, 2 * (1 - t) * t, t * t
        pts.append((a * p0[0] + b * cx + c * p1[0],
                    a * p0[1] + b * cy + c * p1[1]))
    return pts


def save_png(img, name):
    img.save(os.path.join(OUT_DIR, name), format="PNG", optimize=True)


def save_jpeg(img, name, quality=92):
    path = os.path.join(OUT_DIR, name)
    img.convert("RGB").save(path, format="JPEG", quality=quality,
                            subsampling=0, progressive=False, optimize=False)
    return path


def jpeg_sof_markers(data):
    """List of SOFn marker codes found before the first scan."""
    assert data[:2] == b"\xff\xd8", "missing SOI"
    pos, found = 2, []
    while pos + 4 <= len(data):
        assert data[pos] == 0xFF, "marker expected"
        marker = data[pos + 1]
        if marker == 0xFF:
            pos += 1
            continue
        seglen = struct.unpack(">H", data[pos + 2:pos + 4])[0]
        if 0xC0 <= marker <= 0xCF and marker not in (0xC4, 0xC8, 0xCC):
            found.append(marker)
        if marker == 0xDA:
            break
        pos += 2 + seglen
    return found


def check_baseline(path):
    with open(path, "rb") as f:
        sofs = jpeg_sof_markers(f.read())
    if sofs != [0xC0]:
        raise SystemExit("%s: expected a single SOF0, got %r" % (path, sofs))


# --------------------------------------------------------------------------
# Environment cube
# --------------------------------------------------------------------------

CUBE_SIZE = 64

# Face k (1-based file index) -> direction for face coordinates (sc, tc).
# The viewer uploads the faces with the Y flip enabled, so the image's top
# row ends up at tc = +1.
CUBE_FACES = [
    ("+X", lambda sc, tc: (1.0, -tc, -sc)),
    ("-X", lambda sc, tc: (-1.0, -tc, sc)),
    ("+Y", lambda sc, tc: (sc, 1.0, tc)),
    ("-Y", lambda sc, tc: (sc, -1.0, -tc)),
    ("+Z", lambda sc, tc: (sc, -tc, 1.0)),
    ("-Z", lambda sc, tc: (-sc, -tc, -1.0)),
]

SUN_AZIMUTH = math.radians(20.0)
SUN_ELEVATION = math.radians(28.0)
SUN_DIR = (math.cos(SUN_ELEVATION) * math.cos(SUN_AZIMUTH),
           math.cos(SUN_ELEVATION) * math.sin(SUN_AZIMUTH),
           math.sin(SUN_ELEVATION))

ZENITH = hex_rgb("#2c5d9e")
SKY_MID = hex_rgb("#6f9fd2")
SKY_LOW = hex_rgb("#cfe0ef")
HORIZON = hex_rgb("#f4f3ee")
GROUND_NEAR = hex_rgb("#a59c90")
GROUND_MID = hex_rgb("#6d665e")
NADIR = hex_rgb("#34302c")
SUN_TINT = hex_rgb("#fff1d6")


def environment(r):
    """Colour seen in world direction r (unit vector, Z up)."""
    x, y, z = r
    el = math.asin(clamp(z, -1.0, 1.0))
    e = el / (math.pi / 2.0)  # -1 nadir .. 0 horizon .. 1 zenith
    if e >= 0.0:
        t = e ** 0.55
        if t < 0.5:
            col = mix(SKY_LOW, SKY_MID, smoothstep(0.0, 0.5, t))
        else:
            col = mix(SKY_MID, ZENITH, smoothstep(0.5, 1.0, t))
    else:
        t = (-e) ** 0.8
        if t < 0.35:
            col = mix(GROUND_NEAR, GROUND_MID, smoothstep(0.0, 0.35, t))
        else:
            col = mix(GROUND_MID, NADIR, smoothstep(0.35, 1.0, t))
    # Soft bright horizon line, slightly wider above than below.
    sigma = math.radians(4.0) if el > 0 else math.radians(2.5)
    line = math.exp(-(el / sigma) ** 2 * 0.5)
    col = mix(col, HORIZON, 0.72 * line)
    # Sun glow: a broad halo plus a small bright core, sky side only.
    cosang = x * SUN_DIR[0] + y * SUN_DIR[1] + z * SUN_DIR[2]
    halo = 0.45 * math.exp((cosang - 1.0) / 0.03) + \
        0.55 * math.exp((cosang - 1.0) / 0.004)
    halo *= smoothstep(-0.05, 0.08, z)
    col = mix(col, SUN_TINT, clamp(halo))
    return col


def cube_pixel_direction(face, x, y, n=CUBE_SIZE):
    sc = 2.0 * (x + 0.5) / n - 1.0
    tc = 2.0 * (1.0 - (y + 0.5) / n) - 1.0
    rx, ry, rz = CUBE_FACES[face][1](sc, tc)
    ln = math.sqrt(rx * rx + ry * ry + rz * rz)
    return (rx / ln, ry / ln, rz / ln)


def cube_lookup(r, n=CUBE_SIZE):
    """Face index and (fractional) pixel position that direction r hits."""
    x, y, z = r
    ax, ay, az = abs(x), abs(y), abs(z)
    if ax >= ay and ax >= az:
        face, sc, tc, m = (0, -z, -y, ax) if x > 0 else (1, z, -y, ax)
    elif ay >= az:
        face, sc, tc, m = (2, x, z, ay) if y > 0 else (3, x, -z, ay)
    else:
        face, sc, tc, m = (4, x, -y, az) if z > 0 else (5, -x, -y, az)
    sc, tc = sc / m, tc / m
    px = (sc + 1.0) / 2.0 * n - 0.5
    py = (1.0 - (tc + 1.0) / 2.0) * n - 0.5
    return face, px, py


def make_cube():
    n = CUBE_SIZE
    faces = []
    for k in range(6):
        img = Image.new("RGB", (n, n))
        data = []
        for y in range(n):
            for x in range(n):
                c = environment(cube_pixel_direction(k, x, y))
                data.append(tuple(int(round(clamp(v) * 255.0)) for v in c))
        img.putdata(data)
        path = save_jpeg(img, "cube%d.jpg" % (k + 1), quality=93)
        check_baseline(path)
        faces.append(Image.open(path).convert("RGB"))
    check_cube_seams(faces)


def check_cube_seams(faces):
    """Every edge pixel's neighbour across the seam must look alike.

    For each pixel on a face border, step half a pixel past the border in
    direction space; that direction lands on the adjacent face.  The
    decoded colours of the two pixels must be close, which fails loudly
    when a face is mis-ordered, mirrored or rotated.
    """
    n = CUBE_SIZE
    worst = 0
    total, count = 0, 0
    for k in range(6):
        dirfn = CUBE_FACES[k][1]
        for i in range(n):
            # (x, y, sc, tc) just outside each of the four borders
            inner = (i + 0.5) / n * 2.0 - 1.0
            outs = [
                (0, i, -1.0 - 1.0 / n, 1.0 - (i + 0.5) / n * 2.0),
                (n - 1, i, 1.0 + 1.0 / n, 1.0 - (i + 0.5) / n * 2.0),
                (i, 0, inner, 1.0 + 1.0 / n),
                (i, n - 1, inner, -1.0 - 1.0 / n),
            ]
            for x, y, sc, tc in outs:
                r = dirfn(sc, tc)
                f2, px, py = cube_lookup(r)
                if f2 == k:
                    raise SystemExit("seam step stayed on face %d" % k)
                px = min(n - 1, max(0, int(round(px))))
                py = min(n - 1, max(0, int(round(py))))
                a = faces[k].getpixel((x, y))
                b = faces[f2].getpixel((px, py))
                d = max(abs(u - v) for u, v in zip(a, b))
                worst = max(worst, d)
                total += d
                count += 1
    mean = total / count
    print("cube seams: mean channel difference %.2f, worst %d" % (mean, worst))
    if worst > 20 or mean > 5.0:
        raise SystemExit("cube faces do not join seamlessly")


# --------------------------------------------------------------------------
# Page background strip and glow band
# --------------------------------------------------------------------------

PAGE_BG = hex_rgb("#0e2b4d")


def dithered_column(colours):
    """Quantise a column of float colours with 1-D error diffusion."""
    out, err = [], [0.0, 0.0, 0.0]
    for c in colours:
        px = []
        for i in range(3):
            v = c[i] * 255.0 + err[i]
            q = int(round(clamp(v, 0.0, 255.0)))
            err[i] = v - q
            px.append(q)
        out.append(tuple(px))
    return out


def make_backdrop():
    w, h = 8, 800
    top = hex_rgb("#173b63")
    glow = hex_rgb("#1f4c7c")
    low = hex_rgb("#0b2340")
    bottom = hex_rgb("#050f1e")
    col = []
    for y in range(h):
        u = (y + 0.5) / h
        if u < 0.35:
            c = mix(top, glow, smoothstep(0.0, 0.35, u))
        elif u < 0.62:
            c = mix(glow, PAGE_BG, smoothstep(0.35, 0.62, u))
        elif u < 0.85:
            c = mix(PAGE_BG, low, smoothstep(0.62, 0.85, u))
        else:
            c = mix(low, bottom, smoothstep(0.85, 1.0, u))
        col.append(c)
    rows = dithered_column(col)
    img = Image.new("RGB", (w, h))
    img.putdata([rows[y] for y in range(h) for _ in range(w)])
    save_png(img, "backdrop.png")


def make_band():
    w, h = 8, 910
    core = hex_rgb("#bcd8f5")
    line = hex_rgb("#e6f1ff")
    data = []
    for y in range(h):
        d = (y + 0.5) / h - 0.5  # -0.5 .. 0.5, centre of the window
        glow = 0.16 * math.exp(-(d / 0.22) ** 2)
        glow += 0.07 * math.exp(-(d / 0.40) ** 2)
        lines = 0.20 * math.exp(-((abs(d) - 0.415) / 0.0035) ** 2)
        fade = smoothstep(0.5, 0.47, abs(d))
        a = clamp((glow + lines) * fade)
        t = lines / (glow + lines) if glow + lines > 0 else 0.0
        c = mix(core, line, t)
        px = tuple(int(round(v * 255.0)) for v in c) + (int(round(a * 255.0)),)
        data.extend([px] * w)
    img = Image.new("RGBA", (w, h))
    img.putdata(data)
    save_png(img, "band.png")


# --------------------------------------------------------------------------
# Paper: turned-up corner, dog-ear fold, page edge
# --------------------------------------------------------------------------

PAPER = hex_rgb("#f2f0ea")
PAPER_SHADE = hex_rgb("#c9c5bb")
PAPER_LIGHT = hex_rgb("#fffefb")


def make_corner():
    n = 128
    cv = Canvas(n, n)
    # Shadow the curled flap throws on the page just beyond the fold.
    for y in range(n):
        for x in range(n):
            d = (x - y) / math.sqrt(2.0)  # >0 above the fold diagonal
            if d > 0:
                a = 0.38 * math.exp(-d / 7.0) * smoothstep(0.0, 1.5, d)
                # fade towards the two ends of the fold
                along = (x + y) / (2.0 * n)
                a *= smoothstep(0.0, 0.12, along) * smoothstep(1.0, 0.88, along)
                cv.over(x, y, (0.0, 0.0, 0.0), a)

    # The back of the page: light paper, shaded as a gentle curl.  Darker
    # right at the fold where the sheet turns away, a soft highlight a
    # little further out, settling to paper colour towards the tip.
    diag = n / math.sqrt(2.0)

    def flap_colour(x, y):
        d = (y - x) / math.sqrt(2.0) / diag  # 0 at fold .. 1 at the tip
        along = (x + y) / (2.0 * n) - 0.5
        if d < 0.18:
            c = mix(PAPER_SHADE, PAPER_LIGHT, smoothstep(0.0, 0.18, d))
        elif d < 0.45:
            c = mix(PAPER_LIGHT, PAPER, smoothstep(0.18, 0.45, d))
        else:
            c = mix(PAPER, mix(PAPER, PAPER_SHADE, 0.45), smoothstep(0.45, 1.0, d))
        return mix(c, PAPER_SHADE, 0.18 * abs(along) * 2.0)

    flap = [(0.0, 0.0), (n, n), (0.0, n)]
    fill(cv, [flap], flap_colour, ss=4)
    # Crisp light rim along the fold itself.
    rim = [(0.0, 0.0), (n, n), (n - 1.4, n), (0.0, 1.4)]
    fill(cv, [rim], PAPER_LIGHT, opacity=0.8, ss=4)
    save_png(cv.image(), "corner.png")


def make_fold():
    w, h = 51, 70
    cv = Canvas(w, h)
    # The corner is folded down along the line P-Q; its tip T lands on the
    # page below-left.  Edges are bowed slightly so the flap looks curled.
    p, q, t = (7.0, 0.0), (51.0, 47.0), (11.0, 55.0)
    outline = curve(p, t, -2.2) + curve(t, q, -2.6)[1:]
    flap = [outline]
    drop_shadow(cv, flap, -1.5, 3.5, 2, 0.55)
    drop_shadow(cv, flap, -0.5, 1.2, 1, 0.35)

    fx, fy = q[0] - p[0], q[1] - p[1]
    fl = math.hypot(fx, fy)
    depth = abs((t[0] - p[0]) * fy - (t[1] - p[1]) * fx) / fl

    def flap_colour(x, y):
        d = abs((x - p[0]) * fy - (y - p[1]) * fx) / fl / depth  # 0 fold..1 tip
        if d < 0.25:
            c = mix(PAPER_SHADE, PAPER_LIGHT, smoothstep(0.0, 0.25, d))
        else:
            c = mix(PAPER_LIGHT, mix(PAPER, PAPER_SHADE, 0.35),
                    smoothstep(0.25, 1.0, d))
        return c

    fill(cv, flap, flap_colour, ss=6)
    # Thin darker line where the paper bends.
    crease = [p, q, (q[0], q[1] + 1.0), (p[0] - 0.7, p[1] + 0.7)]
    fill(cv, [crease], PAPER_SHADE, opacity=0.55, ss=6)
    save_png(cv.image(), "fold.png")


# The page edge is what the help side shows behind its white text once the
# page is turned: a deep slate blue, so the text reads well on it.
EDGE = (34, 56, 82)


def make_edge():
    img = Image.new("RGB", (2, 2), EDGE)
    check_baseline(save_jpeg(img, "edge.jpg", quality=95))


# --------------------------------------------------------------------------
# Logo: a small isometric cube mark and bold geometric "ZEM" letters
# --------------------------------------------------------------------------

def iso_cube(cx, cy, s):
    """Three faces (top, left, right) of an isometric cube of edge s."""
    hx, hy = s * math.cos(math.radians(30)), s * 0.5
    top = [(cx, cy - s), (cx + hx, cy - s + hy), (cx, cy), (cx - hx, cy - s + hy)]
    left = [(cx - hx, cy - s + hy), (cx, cy), (cx, cy + s), (cx - hx, cy + hy)]
    right = [(cx, cy), (cx + hx, cy - s + hy), (cx + hx, cy + hy), (cx, cy + s)]
    return top, left, right


def cube_seams(cx, cy, s, gap):
    """Thin strips along the three inner edges of iso_cube(cx, cy, s)."""
    hx, hy = s * math.cos(math.radians(30)), s * 0.5
    return [
        [(cx - gap, cy), (cx + gap, cy), (cx + gap, cy + s), (cx - gap, cy + s)],
        [(cx, cy - gap), (cx + hx, cy - s + hy - gap),
         (cx + hx, cy - s + hy + gap), (cx, cy + gap)],
        [(cx, cy - gap), (cx - hx, cy - s + hy - gap),
         (cx - hx, cy - s + hy + gap), (cx, cy + gap)],
    ]


def letter_z(x0, y0, w, h, s):
    d = s * 1.15  # horizontal width of the diagonal stroke
    return [[(x0, y0), (x0 + w, y0), (x0 + w, y0 + s), (x0 + d + 1.0, y0 + h - s),
             (x0 + w, y0 + h - s), (x0 + w, y0 + h), (x0, y0 + h), (x0, y0 + h - s),
             (x0 + w - d - 1.0, y0 + s), (x0, y0 + s)]]


def letter_e(x0, y0, w, h, s):
    m = y0 + (h - s) / 2.0
    return [
        [(x0, y0), (x0 + w, y0), (x0 + w, y0 + s), (x0, y0 + s)],
        [(x0, y0), (x0 + s, y0), (x0 + s, y0 + h), (x0, y0 + h)],
        [(x0, y0 + h - s), (x0 + w, y0 + h - s), (x0 + w, y0 + h), (x0, y0 + h)],
    ], [(x0 + s - 0.5, m), (x0 + w * 0.82, m), (x0 + w * 0.82, m + s), (x0 + s - 0.5, m + s)]


def letter_m(x0, y0, w, h, s):
    mid = x0 + w / 2.0
    vy = y0 + h * 0.62  # depth of the V
    d = s * 0.62
    return [
        [(x0, y0), (x0 + s, y0), (x0 + s, y0 + h), (x0, y0 + h)],
        [(x0 + w - s, y0), (x0 + w, y0), (x0 + w, y0 + h), (x0 + w - s, y0 + h)],
        [(x0, y0), (x0 + s + 0.2, y0), (mid, vy - s * 1.25), (x0 + w - s - 0.2, y0),
         (x0 + w, y0), (mid + d, vy), (mid - d, vy)],
    ]


def make_logo():
    w, h = 150, 33
    cv = Canvas(w, h)
    top_c, bot_c = hex_rgb("#ffffff"), hex_rgb("#d6e6f7")
    accent = hex_rgb("#ffb347")

    def letter_colour(x, y):
        return mix(top_c, bot_c, smoothstep(4.0, 30.0, y))

    # Cube mark
    top, left, right = iso_cube(15.5, 16.5, 13.0)
    fill(cv, [top], hex_rgb("#e9f3ff"))
    fill(cv, [left], hex_rgb("#7fb2e8"))
    fill(cv, [right], hex_rgb("#4a83c4"))
    # a thin gap between the faces keeps the mark crisp at small size
    erase(cv, cube_seams(15.5, 16.5, 13.0, 0.6))

    y0, lh, st = 4.0, 25.0, 6.0
    fill(cv, letter_z(38.0, y0, 27.0, lh, st), letter_colour)
    e_polys, e_bar = letter_e(72.0, y0, 23.0, lh, st)
    fill(cv, e_polys, letter_colour)
    fill(cv, [e_bar], accent)
    fill(cv, letter_m(102.0, y0, 34.0, lh, st), letter_colour)
    save_png(cv.image(), "logo.png")


# --------------------------------------------------------------------------
# Icon: a sheet of paper with a folded corner and a blue cube on it
# --------------------------------------------------------------------------

def make_icon_canvas():
    n = 16
    cv = Canvas(n, n)
    outline = hex_rgb("#3a4a5c")
    sheet_outer = [(2, 0), (11, 0), (15, 4), (15, 16), (2, 16)]
    sheet_inner = [(3, 1), (10.6, 1), (14, 4.4), (14, 15), (3, 15)]
    fill(cv, [sheet_outer], outline, ss=8)
    fill(cv, [sheet_inner], lambda x, y: mix(PAPER_LIGHT, PAPER, y / 16.0), ss=8)
    ear = [(10, 1), (10, 5), (14, 5)]
    fill(cv, [ear], PAPER_SHADE, ss=8)
    fill(cv, [[(10, 4.2), (10, 5), (14, 5), (13.2, 4.2)]], outline, opacity=0.7, ss=8)
    # Cube drawn on a 2:1 pixel grid so its edges step cleanly at 16 px.
    top = [(8, 6), (13, 8.5), (8, 11), (3, 8.5)]
    left = [(3, 8.5), (8, 11), (8, 15), (3, 12.5)]
    right = [(8, 11), (13, 8.5), (13, 12.5), (8, 15)]
    fill(cv, [top], hex_rgb("#9fd0ff"), ss=8)
    fill(cv, [left], hex_rgb("#2f80dc"), ss=8)
    fill(cv, [right], hex_rgb("#1a4c94"), ss=8)
    return cv


def make_icon():
    cv = make_icon_canvas()
    n = cv.w
    pixels = cv.image().load()
    xor = bytearray()
    for y in range(n - 1, -1, -1):  # bitmap rows are stored bottom-up
        for x in range(n):
            r, g, b, a = pixels[x, y]
            xor += bytes((b, g, r, a))
    row_bytes = ((n + 31) // 32) * 4
    mask = bytearray()
    for y in range(n - 1, -1, -1):
        row = bytearray(row_bytes)
        for x in range(n):
            if pixels[x, y][3] == 0:  # 1 = transparent
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 32, 0,
                         len(xor) + len(mask), 0, 0, 0, 0)
    image = header + bytes(xor) + bytes(mask)
    icondir = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", n, n, 0, 0, 1, 32, len(image), 6 + 16)
    with open(os.path.join(OUT_DIR, "icon.ico"), "wb") as f:
        f.write(icondir + entry + image)


# --------------------------------------------------------------------------

def main():
    make_icon()
    make_cube()
    make_backdrop()
    make_band()
    make_corner()
    make_edge()
    make_fold()
    make_logo()
    return 0


if __name__ == "__main__":
    sys.exit(main())
