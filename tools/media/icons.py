"""The desktop icons: the window icon's design (the ring station with its orange arrow) drawn
anew at each size, with as much of the station's detail as the size can show.

All coordinates are in units of the 32 x 32 design; a picture of n pixels draws them n / 32
times larger. The icons have a real alpha channel, unlike the game's pictures."""

import os

import numpy as np
from PIL import Image

from .common import blur, cov, light_dir, rotate, sd_box, sd_polygon, sd_segment

LIGHT = light_dir(-0.5, -0.68, 0.62)
SS = 4

CX, CY = 16.0, 17.5  # the station's centre; the arrow above it reaches the top edge
RING_R, RING_W = 11.0, 2.6
SPOKE_W = 1.25
HUB_R = 5.2
PORT_R = 1.8
ARM = (CX, 9.0, 1.7, 6.5)  # centre x, centre y, half width, half height
ARROW = [(CX, 0.3), (CX + 6.2, 6.3), (CX - 6.2, 6.3)]

METAL = np.array([176, 182, 196], np.float32)
METAL_DARK = np.array([112, 118, 132], np.float32)
ORANGE = np.array([246, 130, 30], np.float32)
DARK_STRIPE = np.array([62, 48, 42], np.float32)
RED = np.array([206, 44, 30], np.float32)
GOLD = np.array([200, 160, 72], np.float32)
GREEN = np.array([90, 250, 140], np.float32)
OUTLINE = np.array([34, 38, 50], np.float32)
WINDOW = np.array([255, 214, 140], np.float32)


def _shade(albedo, nx, ny, nz, spec):
    lx, ly, lz = LIGHT
    ndl = np.clip(nx * lx + ny * ly + nz * lz, 0, None)
    hx, hy, hz = lx, ly, lz + 1
    hn = np.sqrt(hx * hx + hy * hy + hz * hz)
    ndh = np.clip((nx * hx + ny * hy + nz * hz) / hn, 0, None)
    light = 0.28 + 0.85 * ndl / lz * 0.62
    return albedo * light[..., None] + (255 * spec * ndh**24)[..., None]


def _bevel_normals(d, bevel):
    """Normals of a flat top over the inside of d whose edge rounds off over bevel units."""
    gy, gx = np.gradient(d)
    g = np.maximum(np.hypot(gx, gy), 1e-6)
    t = np.clip(1 + d / bevel, 0, 1)  # 0 on the flat top, 1 at the edge
    s = np.sin(t * np.pi / 2) * 0.85
    nz = np.sqrt(1 - s * s)
    return s * gx / g, s * gy / g, nz


def draw_icon(n):
    """The icon at n x n pixels, as an RGBA array."""
    k = n / 32.0
    m = n * SS
    c = (np.arange(m, dtype=np.float32) + 0.5) / (SS * k)
    X, Y = np.meshgrid(c, c)
    px = 1.0 / k  # one output pixel, in design units
    aa = 1.0 / (SS * k)  # one sample, in design units
    detail = {"shading": n >= 48, "stripes": n >= 48, "windows": n >= 64, "lamps": n >= 128,
              "plates": n >= 128}

    dx, dy = X - CX, Y - CY
    d = np.hypot(dx, dy)
    ang = np.arctan2(dy, dx)
    rgb = np.zeros((m, m, 3), np.float32)
    alpha = np.zeros((m, m), np.float32)

    def paint(colour, coverage):
        a = coverage[..., None]
        rgb[:] = rgb * (1 - a) + colour * a
        alpha[:] = np.maximum(alpha, coverage)

    # ring: a torus lit from the top left, with plating seams and two bands of windows
    rho = d - RING_R
    ring = np.abs(rho) - RING_W
    nr = np.clip(rho / RING_W, -1, 1)
    if detail["shading"]:
        dd = np.maximum(d, 1e-6)
        ring_col = _shade(METAL, nr * dx / dd, nr * dy / dd, np.sqrt(1 - nr * nr), 0.45)
    else:
        # the window icon's flat shading: a gradient across, darker toward the ring's edges
        lit = np.clip(0.75 - 0.35 * (dx + dy) / 14, 0.35, 1.1)
        ring_col = METAL * (lit * (0.6 + 0.4 * np.sqrt(np.clip(1 - np.abs(nr), 0, 1))))[..., None]
    if detail["plates"]:
        seam = np.abs(((ang / (np.pi / 24)) % 1.0) - 0.5) > 0.47
        ring_col = np.where(seam[..., None], ring_col * 0.72, ring_col)
    if detail["windows"]:
        count = 48 if n < 128 else 96
        slot = np.abs(((ang / (2 * np.pi / count)) % 1.0) - 0.5) < 0.26
        for band in (-0.5, 0.5):
            w = slot & (np.abs(nr - band) < max(0.1, 0.45 * px / RING_W))
            ring_col = np.where(w[..., None], WINDOW * 0.9, ring_col)

    # spokes on the diagonals, from the hub to the ring, with collars at the larger sizes
    spokes = np.full(X.shape, np.inf, np.float32)
    spoke_col = np.zeros_like(rgb)
    for q in range(4):
        a = np.pi / 4 + q * np.pi / 2
        u, v = rotate(X, Y, CX, CY, a)
        s = np.where((u > 0) & (d < RING_R), np.abs(v) - SPOKE_W, np.inf)
        nv = np.clip(v / SPOKE_W, -1, 1)
        col = _shade(METAL_DARK if detail["shading"] else METAL,
                     nv * -np.sin(a), nv * np.cos(a), np.sqrt(1 - nv * nv), 0.35)
        if detail["windows"]:
            collar = (np.abs(u - 7.6) < 0.45) & (np.abs(v) < SPOKE_W + 0.35)
            s = np.where(collar, np.minimum(s, np.abs(v) - SPOKE_W - 0.35), s)
            col = np.where(collar[..., None], col * 0.7, col)
        spoke_col = np.where((s < spokes)[..., None], col, spoke_col)
        spokes = np.minimum(spokes, s)
    if not detail["shading"]:
        lit = np.clip(0.75 - 0.35 * (dx + dy) / 14, 0.35, 1.1)
        spoke_col = METAL * lit[..., None]

    # the hub: a drum with a gold rim, the docking port and its ring of green lamps
    hub = d - HUB_R
    if detail["shading"]:
        hub_col = _shade(METAL, *_bevel_normals(hub, 1.2), 0.35)
    else:
        lit = np.clip(0.75 - 0.35 * (dx + dy) / 14, 0.35, 1.1)
        hub_col = METAL * lit[..., None]
    if detail["windows"]:
        rim = np.abs(d - (HUB_R - 0.45)) < 0.45
        hub_col = np.where(rim[..., None], _shade(GOLD, *_bevel_normals(hub, 0.9), 0.6), hub_col)
        inner = np.abs(d - 3.2) < max(0.22, 0.6 * px)
        hub_col = np.where(inner[..., None], hub_col * 0.68, hub_col)

    # the marker arm with its big arrow, pointing to the top: it shows the station's roll
    arm = sd_box(X, Y, *ARM)
    arrow = sd_polygon(X, Y, ARROW)
    mark = np.minimum(arm, arrow)
    if detail["shading"]:
        mark_col = _shade(ORANGE, *_bevel_normals(mark, 0.9), 0.5)
    else:
        mark_col = np.broadcast_to(ORANGE, rgb.shape).copy()
    if detail["stripes"]:
        stripe = (((X + Y) / 1.6) % 2.0) < 1.0
        striped = _shade(DARK_STRIPE, *_bevel_normals(arm, 0.9), 0.3)
        mark_col = np.where((stripe & (arm < 0) & (arrow > 0))[..., None], striped, mark_col)
    if detail["windows"]:
        inner_arrow = sd_polygon(X, Y, [(CX, 2.4), (CX + 3.1, 5.4), (CX - 3.1, 5.4)])
        mark_col = np.where((inner_arrow < 0)[..., None], _shade(RED, 0, 0, 1, 0.5), mark_col)

    body = np.minimum(np.minimum(ring, spokes), hub)
    shape = np.minimum(body, mark)
    outline = max(0.6, 1.1 * px)

    if detail["lamps"]:
        # the arm's shadow falls to the bottom right on the hub
        sh = blur((mark < 0).astype(np.float32), 0.5 * SS * k)
        shift = int(round(0.9 * SS * k))
        sh = np.roll(np.roll(sh, shift, axis=0), shift, axis=1)
        hub_col *= (1 - 0.45 * sh)[..., None]
        ring_col *= (1 - 0.45 * sh)[..., None]

    paint(ring_col, cov(ring, aa))
    paint(spoke_col, cov(spokes, aa))
    paint(hub_col, cov(hub, aa))
    # the port: a green light at the centre, glowing at the larger sizes
    port = d - PORT_R
    paint(GREEN, cov(port, aa))
    if detail["lamps"]:
        ring_mouth = np.abs(d - 1.05) - 0.22
        paint(GREEN * 0.55, cov(ring_mouth, aa))
        for q in range(8):
            a = q * np.pi / 4 + np.pi / 8
            lamp = np.hypot(X - CX - 2.5 * np.cos(a), Y - CY - 2.5 * np.sin(a)) - 0.32
            paint(np.array([150, 255, 190], np.float32), cov(lamp, aa))
    # the inner edges of the arm and the arrow stay visible over the hub and the ring
    if n >= 48:
        paint(OUTLINE, cov(mark, aa))
        paint(mark_col, cov(mark + outline, aa))
    else:
        paint(mark_col, cov(mark, aa))
    if detail["lamps"]:
        for y in (9.5, 12.5):
            for sx in (-1, 1):
                lamp = np.hypot(X - CX - sx * 1.05, Y - y) - 0.28
                paint(np.array([255, 70, 40], np.float32), cov(lamp, aa))
        tip = np.hypot(X - CX, Y - 2.4) - 0.4
        paint(np.array([255, 190, 90], np.float32), cov(tip, aa))
        seg = sd_segment(X, Y, CX - 6.2, 6.3, CX + 6.2, 6.3, 0.18)
        paint(np.array([150, 64, 20], np.float32), cov(seg, aa) * (arrow < -0.2))

    # a dark outline round the whole shape, as on the window icon
    edge = (shape > -outline) & (shape < 0.5 * aa)
    rgb[:] = np.where(edge[..., None], rgb * 0.15 + OUTLINE * 0.85, rgb)

    a = alpha.reshape(n, SS, n, SS).mean(axis=(1, 3))
    pm = (rgb * alpha[..., None]).reshape(n, SS, n, SS, 3).mean(axis=(1, 3))
    col = pm / np.maximum(a, 1e-6)[..., None]
    out = np.zeros((n, n, 4), np.uint8)
    out[..., :3] = np.clip(np.rint(col), 0, 255)
    out[..., 3] = np.clip(np.rint(a * 255), 0, 255)
    out[out[..., 3] == 0] = 0
    return out


def _save(path, n):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    Image.fromarray(draw_icon(n), "RGBA").save(path, optimize=True)


def make_icon_32(path):
    _save(path, 32)


def make_icon_48(path):
    _save(path, 48)


def make_icon_64(path):
    _save(path, 64)


def make_icon_128(path):
    _save(path, 128)


def make_icon_256(path):
    _save(path, 256)
