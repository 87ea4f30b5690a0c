"""Cockpit pictures: the panel, the sight, the lamp, the roll handle, the thrust display, the
needle dial."""

import numpy as np
from PIL import Image

from .common import (blur, cov, grid, light_dir, normals, over, rotate, save_png, sd_box,
                     sd_circle, sd_polygon, sd_rect, sd_segment, shade, smoothstep, text_mask)

# Where the game draws things over (or under) the panel.
VIEW = (50, 50, 590, 350)  # x0, y0, x1, y1 (exclusive)
NEEDLE_POS, NEEDLE_SIZE = (170, 370), (40, 30)
SHIP_POS, SHIP_SIZE = (70, 370), (100, 100)
HANDLE_X, HANDLE_Y0, HANDLE_Y1 = 220, 390, 450
LAMP_SIZE = 16
LAMPS = [(180, 410), (200, 410), (180, 430), (200, 430), (180, 450), (200, 450)]
CONTROLS_POS, CONTROLS_SIZE = (290, 380), 80
TEXT_X, TEXT_YS = 415, (395, 410, 425, 440)

LIGHT = light_dir(-0.5, -0.7, 0.75)

AMBER = (250, 150, 40)
GREEN = (90, 240, 150)


def _brushed(h, w, seed):
    rng = np.random.default_rng(seed)
    n = rng.standard_normal((h, w // 16)).astype(np.float32)
    im = Image.fromarray(n, "F").resize((w, h), Image.BILINEAR)
    fine = rng.standard_normal((h, w)).astype(np.float32)
    return np.asarray(im) * 0.7 + blur(fine, 0.6) * 0.5


class Relief:
    """Height field plus albedo, shaded at the end with a top-left light."""

    def __init__(self, w, h, base):
        self.w, self.h = w, h
        self.X, self.Y = grid(w, h)
        self.H = np.zeros((h, w), np.float32)
        self.alb = np.empty((h, w, 3), np.float32)
        self.alb[:] = base
        self.spec = np.full((h, w), 0.12, np.float32)

    def plate(self, d, height, bevel, colour=None, spec=None):
        """Raise (height > 0) or sink (< 0) the inside of distance d with a chamfer of bevel px."""
        prof = smoothstep(0.0, bevel, -d)
        self.H += height * prof
        if colour is not None:
            c = cov(d)
            over(self.alb, colour, c)
            if spec is not None:
                self.spec = self.spec * (1 - c) + spec * c

    def paint(self, d, colour, aa=1.0):
        over(self.alb, colour, cov(d, aa))

    def screw(self, cx, cy, r=4.0, ang=0.6):
        d = np.hypot(self.X - cx, self.Y - cy)
        inside = d < r
        dome = np.sqrt(np.clip(r * r - d * d, 0, None)) * 0.7
        self.H = np.where(inside, np.maximum(self.H, self.H * 0 + dome + 0.5), self.H)
        self.paint(sd_circle(self.X, self.Y, cx, cy, r), (120, 126, 136))
        u, v = rotate(self.X, self.Y, cx, cy, ang)
        slot = sd_box(u, v, 0, 0, r * 0.75, 0.55)
        self.paint(slot, (40, 42, 48))
        self.paint(sd_box(u, v, 0, 0, 0.55, r * 0.75), (40, 42, 48))

    def render(self, ambient=0.35, diffuse=0.65):
        nx, ny, nz = normals(self.H)
        return shade(nx, ny, nz, self.alb, LIGHT, ambient, diffuse, self.spec, 20)


def make_panel(path):
    W, H = 640, 480
    r = Relief(W, H, (64, 72, 86))
    X, Y = r.X, r.Y
    tex = _brushed(H, W, 11)
    r.alb += tex[..., None] * 2.2
    # gentle vertical tint: a little bluer at the top, warmer near the console
    r.alb += (Y / H)[..., None] * np.array([4, 0, -6], np.float32)

    vx0, vy0, vx1, vy1 = VIEW
    d_view = sd_rect(X, Y, vx0, vy0, vx1, vy1)

    # the window bezel: a raised frame whose chamfer runs down into the window
    d_bezel = sd_rect(X, Y, vx0 - 16, vy0 - 14, vx1 + 16, vy1 + 14, 12)
    r.plate(d_bezel, 5.0, 4.0, (74, 82, 98))
    r.H -= 5.0 * (1 - smoothstep(0, 9, d_view)) * (d_bezel < 0)
    r.paint(np.abs(d_view - 1.0) - 1.0, (22, 24, 30))  # rubber seal round the glass

    # top strip with a name plate and two rows of unlit indicators
    r.plate(sd_rect(X, Y, 252, 6, 388, 30, 4), 2.5, 2.0, (92, 98, 110), 0.3)
    name = text_mask(W, H, 320, 18, "HALVANNE", 13, anchor="mm", spacing=3)
    r.H -= name * 0.8
    over(r.alb, (34, 38, 46), name)
    for i in range(5):
        for side in (-1, 1):
            cx = 320 + side * (100 + i * 18)
            r.plate(sd_circle(X, Y, cx, 19, 5.5), -1.5, 1.2, (30, 32, 38))
            glass = [(70, 30, 24), (70, 58, 22), (30, 64, 36), (30, 50, 70), (70, 58, 22)][i]
            r.paint(sd_circle(X, Y, cx, 19, 3.6), glass)
    # side pillars with vents
    for x0 in (10, 608):
        r.plate(sd_rect(X, Y, x0, 70, x0 + 22, 330, 5), -2.0, 2.0, (44, 50, 60))
        for k in range(14):
            yy = 82 + k * 17
            r.plate(sd_rect(X, Y, x0 + 5, yy, x0 + 17, yy + 6, 3), -3.0, 1.5, (20, 22, 27))

    # lower console: a groove under the bezel, then the instrument bays
    r.plate(sd_rect(X, Y, 0, 372, W, 375), -1.5, 1.0, (40, 44, 52))
    r.plate(sd_rect(X, Y, 0, 375, W, H), 0.0, 1.0, (60, 66, 78))
    bay = (32, 36, 44)
    # ship icon, needle, lamps and handle share one bay
    r.plate(sd_rect(X, Y, 62, 364, 278, 477, 6), -6.0, 3.0, bay)
    nx0, ny0 = NEEDLE_POS
    nw, nh = NEEDLE_SIZE
    r.plate(sd_rect(X, Y, nx0 - 4, ny0 - 4, nx0 + nw + 4, ny0 + nh + 4, 4), 3.0, 2.0,
            (80, 86, 98))
    r.plate(sd_rect(X, Y, SHIP_POS[0] - 4, SHIP_POS[1] - 4, SHIP_POS[0] + 104,
                    SHIP_POS[1] + 104, 4), 3.0, 2.0, (80, 86, 98))
    # lamp plate with six dark sockets
    r.plate(sd_rect(X, Y, 176, 406, 219, 470, 4), 2.5, 2.0, (70, 76, 88))
    for lx, ly in LAMPS:
        cx, cy = lx + LAMP_SIZE / 2, ly + LAMP_SIZE / 2
        r.plate(sd_circle(X, Y, cx, cy, 8.5), -1.5, 1.2, (26, 26, 30))
        r.paint(sd_circle(X, Y, cx, cy, 6.8), (92, 52, 22))
        r.paint(sd_circle(X, Y, cx - 2, cy - 2, 2.0), (130, 86, 46), 2.0)
    # handle track
    r.plate(sd_rect(X, Y, 222, 386, 270, 454, 4), 2.5, 2.0, (70, 76, 88))
    r.plate(sd_rect(X, Y, 242, 392, 250, 448, 3), -4.0, 1.5, (16, 17, 20))
    for yy in (400, 420, 440):
        r.paint(sd_rect(X, Y, 226, yy - 1, 238, yy + 1), (170, 150, 90))
        r.paint(sd_rect(X, Y, 254, yy - 1, 266, yy + 1), (170, 150, 90))
    # thrust display bay
    r.plate(sd_rect(X, Y, 284, 374, 376, 466, 6), -6.0, 3.0, bay)
    # docking computer readout: pale LCD behind dark green text
    r.plate(sd_rect(X, Y, 400, 380, 634, 472, 7), -5.0, 3.0, bay)
    lcd = sd_rect(X, Y, 407, 387, 627, 465, 3)
    lcd_col = np.empty((H, W, 3), np.float32)
    t = np.clip((Y - 387) / 78.0, 0, 1)[..., None]
    lcd_col[:] = np.array([198, 212, 180], np.float32) * (1 - t) + np.array(
        [176, 194, 160], np.float32) * t
    lcd_col -= ((Y.astype(np.int32) % 2) == 0)[..., None] * 3.0  # faint scan lines
    c = cov(lcd)
    r.alb = r.alb * (1 - c[..., None]) + lcd_col * c[..., None]
    r.spec = r.spec * (1 - c) + 0.05 * c
    r.H = np.where(lcd < 0, -5.0 + 0 * r.H, r.H)
    # labels
    lab = (160, 168, 182)
    over(r.alb, lab, text_mask(W, H, 517, 376, "DOCKING COMPUTER", 8, anchor="mm", spacing=1))
    over(r.alb, lab, text_mask(W, H, 330, 369, "RCS", 8, anchor="mm", spacing=1))
    # amber pin stripe along the console edge
    r.paint(sd_rect(X, Y, 0, 377, 56, 379), (190, 120, 40))
    r.paint(sd_rect(X, Y, 584, 377, W, 379), (190, 120, 40))

    # vents and a warning stripe on the console's left wing
    for k in range(6):
        yy = 392 + k * 11
        r.plate(sd_rect(X, Y, 12, yy, 50, yy + 5, 2.5), -3.0, 1.5, (20, 22, 27))
    stripe = ((X + Y) // 6 % 2 == 0)
    warn = cov(sd_rect(X, Y, 8, 460, 54, 468, 1))
    over(r.alb, np.where(stripe[..., None], np.array([200, 160, 40], np.float32),
                         np.array([34, 34, 36], np.float32)), warn)

    for sx, sy in [(20, 20), (620, 20), (100, 20), (540, 20), (20, 350), (620, 350),
                   (18, 384), (44, 384), (390, 394), (390, 446)]:
        r.screw(sx, sy)

    img = r.render()
    # soft dark vignette toward the corners
    vig = 1 - 0.18 * (((X - 320) / 320) ** 2 + ((Y - 240) / 240) ** 2) / 2
    img *= vig[..., None]
    mask = np.ones((H, W), bool)
    mask[vy0:vy1, vx0:vx1] = False
    mask[ny0:ny0 + nh, nx0:nx0 + nw] = False
    save_png(path, img, mask)


def _sprite(path, w, h, coverage, colour, edge=0.55, threshold=0.3):
    """Keyed sprite: opaque where coverage > threshold, edges darkened instead of whitened."""
    c = np.asarray(coverage, np.float32)
    col = np.asarray(colour, np.float32)
    if col.ndim == 1:
        col = np.broadcast_to(col, (h, w, 3))
    img = col * (edge + (1 - edge) * c)[..., None]
    save_png(path, img, c > threshold)


def make_crosshairs(path):
    W, H = 540, 300
    X, Y = grid(W, H)
    cx, cy = 270, 150
    d = np.full((H, W), np.inf, np.float32)

    def add(dd):
        nonlocal d
        d = np.minimum(d, dd)

    R = 62.0
    add(np.abs(sd_circle(X, Y, cx, cy, R)) - 1.1)
    add(np.abs(sd_circle(X, Y, cx, cy, 9)) - 0.8)
    add(sd_circle(X, Y, cx, cy, 1.6))
    for s in (-1, 1):
        add(sd_segment(X, Y, cx + s * 15, cy, cx + s * 46, cy, 0.9))
        add(sd_segment(X, Y, cx, cy + s * 15, cx, cy + s * 46, 0.9))
        add(sd_segment(X, Y, cx + s * 80, cy, cx + s * 200, cy, 0.8))
        for k in range(1, 8):
            xx = cx + s * (80 + k * 15)
            ln = 6 if k % 2 == 0 else 3
            add(sd_segment(X, Y, xx, cy - ln, xx, cy + ln, 0.7))
    for k in range(24):
        a = k * np.pi / 12
        r0, r1 = (R + 3, R + 12) if k % 6 == 0 else (R + 3, R + 7)
        add(sd_segment(X, Y, cx + r0 * np.cos(a), cy + r0 * np.sin(a), cx + r1 * np.cos(a),
                       cy + r1 * np.sin(a), 0.8))
    for sx in (-1, 1):
        for sy in (-1, 1):
            px, py = cx + sx * 230, cy + sy * 120
            add(sd_segment(X, Y, px, py, px - sx * 26, py, 1.0))
            add(sd_segment(X, Y, px, py, px, py - sy * 18, 1.0))
    green = cov(d)
    # The roll mark, one orange triangle pointing up at the ring's lowest point: the station's
    # orange arrow points straight down at it in the docked pose. A single shape, so that the
    # pilot's guide can name it.
    mark = sd_polygon(X, Y, [(cx - 12, cy + R + 18), (cx + 12, cy + R + 18), (cx, cy + R + 2)])
    orange = cov(mark)
    col = np.empty((H, W, 3), np.float32)
    col[:] = GREEN
    col[orange > 0] = AMBER
    _sprite(path, W, H, np.maximum(green, orange), col)


def make_light(path):
    n = LAMP_SIZE
    X, Y = grid(n, n)
    c0 = n / 2
    d = np.hypot(X - c0, Y - c0)
    t = np.clip(d / (n / 2 - 0.8), 0, 1)[..., None]
    hot = np.array([254, 246, 190], np.float32)
    mid = np.array([254, 168, 40], np.float32)
    rim = np.array([190, 80, 10], np.float32)
    col = np.where(t < 0.45, hot + (mid - hot) * (t / 0.45), mid + (rim - mid) * ((t - 0.45) / 0.55))
    hl = np.exp(-((X - c0 + 2) ** 2 + (Y - c0 + 2) ** 2) / 3.0)[..., None]
    col = col + (np.array([254, 254, 240]) - col) * hl * 0.6
    c = cov(d - (n / 2 - 0.6))
    save_png(path, col, c > 0.5)


def make_handle(path):
    W, Hh = 50, 60
    X, Y = grid(W, Hh)
    img = np.zeros((Hh, W, 3), np.float32)
    mask = np.zeros((Hh, W), bool)
    for i, tilt in enumerate((0.0, -0.22, 0.22)):
        y0 = i * 20
        sX, sY = X[y0:y0 + 20], Y[y0:y0 + 20] - y0
        u, v = rotate(sX, sY, 25, 10, tilt)
        bar = sd_box(u, v, 0, 0, 21, 4.5, 4.5)
        hub = sd_circle(u, v, 0, 0, 7)
        d = np.minimum(bar, hub)
        # cylinder-like shading across the bar
        shadev = np.clip(1.0 - (v + 2.5) ** 2 / 40.0, 0.35, 1.0)
        col = np.empty(sX.shape + (3,), np.float32)
        col[:] = (118, 124, 136)
        col *= shadev[..., None]
        grip = (np.abs(u) > 10) & (np.abs(u) < 20)
        col[grip] *= np.where((np.floor(u[grip] / 2.0) % 2) == 0, 0.75, 1.0)[..., None]
        over(col, (210, 130, 40), cov(sd_circle(u, v, 0, 0, 3.2)))
        # an arrow tip on the end the handle is rolled toward
        if tilt != 0:
            s = -1 if tilt < 0 else 1
            tip = sd_polygon(u, v, [(s * 21, -6), (s * 21, 6), (s * 25, 0)])
            over(col, (210, 130, 40), cov(tip))
            d = np.minimum(d, tip)
        img[y0:y0 + 20] = col * (0.6 + 0.4 * cov(d))[..., None]
        mask[y0:y0 + 20] = cov(d) > 0.35
    save_png(path, img, mask)


def make_controls(path):
    S = CONTROLS_SIZE
    out = np.zeros((3 * S, 3 * S, 3), np.float32)
    X, Y = grid(S, S)
    c0 = S / 2
    for i in range(9):
        row, col = divmod(i, 3)
        dx = (-1, 0, 1)[col]
        dy = (-1, 0, 1)[row]
        cell = np.empty((S, S, 3), np.float32)
        t = (Y / S)[..., None]
        cell[:] = np.array([12, 22, 34], np.float32) * (1 - t) + np.array([6, 12, 20]) * t
        gridl = ((np.abs(((X - c0) % 10) - 5) > 4.4) | (np.abs(((Y - c0) % 10) - 5) > 4.4))
        cell[gridl] += (6, 14, 14)
        over(cell, (20, 46, 50), cov(np.abs(sd_circle(X, Y, c0, c0, 30)) - 0.6))
        if dx == 0 and dy == 0:
            d = np.minimum(np.abs(sd_circle(X, Y, c0, c0, 9)) - 1.6, sd_circle(X, Y, c0, c0, 3))
            colour, strength = np.array([70, 190, 130]), 0.8
        else:
            n = np.hypot(dx, dy)
            ux, uy = dx / n, dy / n
            L = 26
            tipx, tipy = c0 + ux * L, c0 + uy * L
            tailx, taily = c0 - ux * L * 0.8, c0 - uy * L * 0.8
            basex, basey = c0 + ux * (L - 13), c0 + uy * (L - 13)
            px, py = -uy, ux
            head = sd_polygon(X, Y, [(tipx, tipy), (basex + px * 10, basey + py * 10),
                                     (basex - px * 10, basey - py * 10)])
            shaft = sd_segment(X, Y, tailx, taily, basex, basey, 3.2)
            d = np.minimum(head, shaft)
            colour, strength = np.array([90, 250, 160]), 1.0
        core = cov(d)
        glow = blur(core, 3.0)
        cell += colour * glow[..., None] * 0.55 * strength
        over(cell, colour * strength + (1 - strength) * 40, core)
        over(cell, (200, 254, 225), cov(d + 1.2) * 0.5)
        # bevelled bezel round the cell
        edge = -sd_rect(X, Y, 0, 0, S, S, 6)
        over(cell, (70, 78, 92), cov(edge - 2.5) * (edge > -1))
        rim = np.clip(1 - edge / 3.0, 0, 1) * (edge > 0)
        shadeL = np.where((X + Y) < S, 1.15, 0.7)
        cell = cell * (1 - rim[..., None]) + (np.array([72, 80, 94]) * shadeL[..., None]) * rim[..., None]
        cell[edge <= 0] = (40, 44, 52)
        out[row * S:(row + 1) * S, col * S:(col + 1) * S] = cell
    save_png(path, out)


def make_needle(path):
    w, h = NEEDLE_SIZE
    X, Y = grid(w, h)
    img = np.empty((h, w, 3), np.float32)
    t = (Y / h)[..., None]
    img[:] = np.array([30, 34, 42], np.float32) * (1 - t) + np.array([18, 20, 26]) * t
    px, py = w / 2, h - 4.0
    ang = np.arctan2(X - px, -(Y - py))  # 0 = straight up
    rad = np.hypot(X - px, Y - py)
    arc = (np.abs(rad - 20) < 2.0) & (np.abs(ang) < 1.05)
    zone = np.where(ang < -0.35, 0, np.where(ang < 0.35, 1, 2))
    zcol = np.array([[200, 150, 40], [70, 200, 110], [200, 70, 50]], np.float32)[zone]
    img = np.where(arc[..., None], zcol, img)
    for k in range(-6, 7):
        a = k * 1.05 / 6
        ln = 5 if k % 3 == 0 else 3
        x0, y0 = px + np.sin(a) * 22.5, py - np.cos(a) * 22.5
        x1, y1 = px + np.sin(a) * (22.5 - ln), py - np.cos(a) * (22.5 - ln)
        over(img, (200, 206, 214), cov(sd_segment(X, Y, x0, y0, x1, y1, 0.5)))
    a = 0.0
    over(img, (250, 110, 40), cov(sd_segment(X, Y, px, py, px + np.sin(a) * 19,
                                             py - np.cos(a) * 19, 1.0)))
    over(img, (90, 96, 108), cov(sd_circle(X, Y, px, py, 3.0)))
    over(img, (150, 156, 168), cov(sd_circle(X, Y, px - 0.8, py - 0.8, 1.2)))
    save_png(path, img)
