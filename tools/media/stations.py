"""The two space stations (full, med and low detail pictures) and the window icon.

Each station is built from simple solids (spheres, tori, cylinders, bevelled prisms) placed
in a z-buffer seen from straight above, lit from the top left with cast shadows, rendered
at twice the size and filtered down. The docking port is at the exact centre; one long
orange arm with a big arrow points to the top of the picture and shows the roll; a magenta
tail with a crossbar points the other way, so that the roll still reads when the red label
(drawn right of and below the centre) covers the arrow."""

import numpy as np
from PIL import Image

from .common import light_dir, rotate, save_png, sd_box, sd_circle, sd_polygon

SIZE = 800
SS = 2
LIGHT = light_dir(-0.5, -0.68, 0.62)
FILL = light_dir(0.7, 0.6, 0.35)
NEG = -1e9

METAL = (168, 172, 182)
METAL_DARK = (104, 110, 122)
ORANGE = (236, 118, 28)
RED = (206, 44, 30)
GOLD = (196, 156, 70)
TAIL = (255, 128, 255)  # light magenta: 3:1 or more against 95% of every background


class Scene:
    def __init__(self, size=SIZE, ss=SS):
        self.size, self.ss = size, ss
        n = size * ss
        self.n = n
        self.xs = (np.arange(n, dtype=np.float32) + 0.5) / ss
        self.Z = np.full((n, n), NEG, np.float32)
        self.NX = np.zeros((n, n), np.float32)
        self.NY = np.zeros((n, n), np.float32)
        self.NZ = np.ones((n, n), np.float32)
        self.A = np.zeros((n, n, 3), np.float32)
        self.S = np.zeros((n, n), np.float32)
        self.E = np.zeros((n, n, 3), np.float32)
        self.ID = np.zeros((n, n), np.int32)
        self.count = 0

    # -------------------------------------------------------------- helpers

    def _win(self, x0, y0, x1, y1):
        ss, n = self.ss, self.n
        i0 = max(0, int(np.floor(y0 * ss)) - 1)
        i1 = min(n, int(np.ceil(y1 * ss)) + 1)
        j0 = max(0, int(np.floor(x0 * ss)) - 1)
        j1 = min(n, int(np.ceil(x1 * ss)) + 1)
        X, Y = np.meshgrid(self.xs[j0:j1], self.xs[i0:i1])
        return (slice(i0, i1), slice(j0, j1)), X, Y

    def _put(self, sl, h, nx, ny, nz, albedo, spec, u=None, v=None, emit=None):
        m = h > self.Z[sl]
        if not m.any():
            return None
        self.count += 1
        self.Z[sl][m] = h[m]
        self.NX[sl][m] = nx[m]
        self.NY[sl][m] = ny[m]
        self.NZ[sl][m] = nz[m]
        if callable(albedo):
            a = np.asarray(albedo(u, v), np.float32)
            self.A[sl][m] = a[m] if a.ndim == 3 else a
        else:
            self.A[sl][m] = albedo
        self.S[sl][m] = spec
        self.E[sl][m] = 0 if emit is None else emit
        self.ID[sl][m] = self.count
        return self.count

    # -------------------------------------------------------------- solids

    def sphere(self, cx, cy, r, z0=0.0, albedo=METAL, spec=0.35, emit=None):
        sl, X, Y = self._win(cx - r, cy - r, cx + r, cy + r)
        dx, dy = X - cx, Y - cy
        q = r * r - dx * dx - dy * dy
        hh = np.sqrt(np.clip(q, 0, None))
        h = np.where(q > 0, z0 + hh, NEG)
        return self._put(sl, h, dx / r, dy / r, hh / r, albedo, spec, dx, dy, emit)

    def torus(self, cx, cy, R, r, z0=0.0, albedo=METAL, spec=0.35):
        sl, X, Y = self._win(cx - R - r, cy - R - r, cx + R + r, cy + R + r)
        dx, dy = X - cx, Y - cy
        d = np.maximum(np.hypot(dx, dy), 1e-6)
        rho = d - R
        q = r * r - rho * rho
        hh = np.sqrt(np.clip(q, 0, None))
        h = np.where(q > 0, z0 + hh, NEG)
        ang = np.arctan2(dy, dx)
        return self._put(sl, h, rho / r * dx / d, rho / r * dy / d, hh / r, albedo, spec, ang,
                         rho)

    def cylinder(self, ax, ay, bx, by, r, z0=0.0, albedo=METAL, spec=0.35):
        L = np.hypot(bx - ax, by - ay)
        ux, uy = (bx - ax) / L, (by - ay) / L
        sl, X, Y = self._win(min(ax, bx) - r, min(ay, by) - r, max(ax, bx) + r, max(ay, by) + r)
        px, py = X - ax, Y - ay
        t = px * ux + py * uy
        s = -px * uy + py * ux
        q = r * r - s * s
        hh = np.sqrt(np.clip(q, 0, None))
        h = np.where((q > 0) & (t >= 0) & (t <= L), z0 + hh, NEG)
        return self._put(sl, h, s / r * -uy, s / r * ux, hh / r, albedo, spec, t, s)

    def prism(self, sdf, bbox, height, bevel, z0=0.0, albedo=METAL, spec=0.3, local=None,
              emit=None):
        """Flat-topped solid over the inside of a signed distance, with a rounded chamfer."""
        sl, X, Y = self._win(*bbox)
        d = sdf(X, Y)
        t = np.clip(-d / bevel, 0, 1)
        prof = height * np.sqrt(1 - (1 - t) ** 2)
        gy, gx = np.gradient(prof, 1.0 / self.ss)
        k = 1 / np.sqrt(gx * gx + gy * gy + 1)
        h = np.where(d < 0, z0 + prof, NEG)
        u, v = local(X, Y) if local else (X, Y)
        return self._put(sl, h, -gx * k, -gy * k, k, albedo, spec, u, v, emit)

    def box(self, cx, cy, hw, hh, height, bevel, ang=0.0, z0=0.0, albedo=METAL, spec=0.3,
            rad=0.0):
        e = np.hypot(hw, hh)

        def loc(X, Y):
            return rotate(X, Y, cx, cy, ang)

        def sdf(X, Y):
            u, v = loc(X, Y)
            return sd_box(u, v, 0, 0, hw, hh, rad)

        return self.prism(sdf, (cx - e, cy - e, cx + e, cy + e), height, bevel, z0, albedo,
                          spec, loc)

    def disc(self, cx, cy, r, height, bevel, z0=0.0, albedo=METAL, spec=0.3):
        def sdf(X, Y):
            return sd_circle(X, Y, cx, cy, r)

        def loc(X, Y):
            return np.arctan2(Y - cy, X - cx), np.hypot(X - cx, Y - cy)

        return self.prism(sdf, (cx - r, cy - r, cx + r, cy + r), height, bevel, z0, albedo, spec,
                          loc)

    def polygon(self, pts, height, bevel, z0=0.0, albedo=METAL, spec=0.3):
        xs = [p[0] for p in pts]
        ys = [p[1] for p in pts]

        def sdf(X, Y):
            return sd_polygon(X, Y, pts)

        return self.prism(sdf, (min(xs), min(ys), max(xs), max(ys)), height, bevel, z0, albedo,
                          spec)

    # -------------------------------------------------------------- lights and decals

    def lamp(self, cx, cy, z, colour, r=3.2, glow=5.0):
        """A small lit bulb on top of whatever is there, with a halo over the station."""
        self.sphere(cx, cy, r, z, albedo=(40, 40, 40), spec=0.6,
                    emit=np.asarray(colour, np.float32))
        R = r * glow
        sl, X, Y = self._win(cx - R, cy - R, cx + R, cy + R)
        d2 = (X - cx) ** 2 + (Y - cy) ** 2
        g = np.exp(-d2 / (2 * (r * 1.6) ** 2)) * 0.9 + np.exp(-d2 / (2 * (r * 4) ** 2)) * 0.25
        g *= self.Z[sl] > NEG / 2
        self.E[sl] += g[..., None] * np.asarray(colour, np.float32)

    def window_light(self, sl, mask, colour=(255, 214, 140), level=0.85):
        self.E[sl][mask] = np.asarray(colour, np.float32) * level
        self.A[sl][mask] = (30, 28, 24)

    # -------------------------------------------------------------- rendering

    def shadows(self, steps=40, step=1.5):
        lx, ly, lz = LIGHT
        hxy = np.hypot(lx, ly)
        dx, dy = lx / hxy, ly / hxy
        rise = lz / hxy  # height gained per pixel travelled toward the light
        Z = self.Z
        occ = np.zeros_like(Z)
        for k in range(1, steps + 1):
            dist = k * step * self.ss
            ox, oy = int(round(dx * dist)), int(round(dy * dist))
            sh = np.full_like(Z, NEG)
            n = self.n
            ys = slice(max(0, -oy), n - max(0, oy))
            yd = slice(max(0, oy), n - max(0, -oy))
            xs = slice(max(0, -ox), n - max(0, ox))
            xd = slice(max(0, ox), n - max(0, -ox))
            sh[yd, xd] = Z[ys, xs]
            occ = np.maximum(occ, (sh - Z - k * step * rise > 0.5).astype(np.float32))
        return occ

    def render(self):
        occ = self.shadows()
        lit = 1 - 0.78 * occ
        lx, ly, lz = LIGHT
        ndl = np.clip(self.NX * lx + self.NY * ly + self.NZ * lz, 0, None)
        fx, fy, fz = FILL
        ndf = np.clip(self.NX * fx + self.NY * fy + self.NZ * fz, 0, None)
        hx, hy, hz = lx, ly, lz + 1
        hn = np.sqrt(hx * hx + hy * hy + hz * hz)
        ndh = np.clip((self.NX * hx + self.NY * hy + self.NZ * hz) / hn, 0, None)
        light = 0.16 + 0.95 * ndl * lit
        col = self.A * light[..., None]
        col += self.A * (ndf * 0.22)[..., None] * np.array([0.75, 0.85, 1.1], np.float32)
        col += (255 * self.S * ndh**30 * lit)[..., None]
        col += self.E
        alpha = (self.Z > NEG / 2).astype(np.float32)
        col *= alpha[..., None]
        n = self.size
        pm = col.reshape(n, self.ss, n, self.ss, 3).mean(axis=(1, 3))
        al = alpha.reshape(n, self.ss, n, self.ss).mean(axis=(1, 3))
        return pm, al


def _save_levels(path, pm, al, sizes):
    """Save the station at full size and filtered down to the given sizes (premultiplied)."""
    base, ext = path[:-4], path[-4:]
    out = {}
    for suffix, s in sizes:
        if s == pm.shape[0]:
            p, a = pm, al
        else:
            chans = [np.asarray(Image.fromarray(pm[..., c].astype(np.float32), "F").resize(
                (s, s), Image.LANCZOS)) for c in range(3)]
            p = np.stack(chans, axis=-1)
            a = np.asarray(Image.fromarray(al.astype(np.float32), "F").resize((s, s),
                                                                             Image.LANCZOS))
        a = np.clip(a, 0, 1)
        mask = a >= 0.5
        col = p / np.maximum(a, 1e-3)[..., None]
        out[s] = save_png(base + suffix + ext, col, mask, lo=8)
    return out


LEVELS = [("", SIZE), ("med", SIZE // 2), ("low", SIZE // 4)]


# ------------------------------------------------------------------ shared parts


def _hash(a, b):
    """Repeatable pseudo-random numbers in 0..1 for integer cell indices."""
    v = np.sin(a * 12.9898 + b * 78.233) * 43758.5453
    return v - np.floor(v)


def _panel_lines(step_u, step_v=None, dark=0.72, base=METAL, vary=0.07):
    """Plating: seams every step_u (and step_v), each plate a slightly different tint."""
    base = np.asarray(base, np.float32)

    def f(u, v):
        a = np.ones(u.shape, np.float32)
        iu = np.floor(u / step_u)
        iv = np.floor(v / step_v) if step_v else np.zeros_like(iu)
        h = _hash(iu, iv)
        a *= 1 + vary * (2 * h - 1)
        warm = (h > 0.86)[..., None] * np.array([0.04, 0.0, -0.06], np.float32)
        a = np.where(np.abs(((u / step_u) % 1.0) - 0.5) > 0.47, dark, a)
        if step_v:
            a = np.where(np.abs(((v / step_v) % 1.0) - 0.5) > 0.47, dark, a)
        return base * (a[..., None] + warm)

    return f


def _hazard(width, col_a=ORANGE, col_b=(58, 44, 40)):
    a = np.asarray(col_a, np.float32)
    b = np.asarray(col_b, np.float32)

    def f(u, v):
        stripe = (((u + v) / width) % 2.0) < 1.0
        return np.where(stripe[..., None], a, b)

    return f


def _docking_port(sc, cx, cy, z, lamp_colour):
    sc.disc(cx, cy, 40, 4, 2, z, METAL_DARK)
    sc.torus(cx, cy, 30, 8, z + 2, (150, 156, 168), 0.5)
    # the dark mouth of the port with a faint guide glow
    sc.disc(cx, cy, 22.5, 1.0, 0.5, z, (26, 30, 38), 0.1)
    sl, X, Y = sc._win(cx - 23, cy - 23, cx + 23, cy + 23)
    d = np.hypot(X - cx, Y - cy)
    ring = (np.abs(d - 14) < 1.0) | ((np.abs(X - cx) < 0.8) & (d < 8)) | (
        (np.abs(Y - cy) < 0.8) & (d < 8))
    sc.E[sl][ring & (d < 22)] = np.asarray(lamp_colour, np.float32) * 0.45
    for k in range(8):
        a = k * np.pi / 4 + np.pi / 8
        sc.lamp(cx + 46 * np.cos(a), cy + 46 * np.sin(a), z + 4, lamp_colour, r=2.6)


def _marker_arm(sc, cx, y_base, y_tip, half_w, z, arrow_w, arrow_h):
    """The roll marker: striped orange arm ending in a big arrow toward the top."""
    y_arrow = y_tip + arrow_h
    sc.box(cx, (y_base + y_arrow) / 2, half_w, (y_base - y_arrow) / 2 + 2, 16, 5, z0=z,
           albedo=_hazard(14))
    sc.polygon([(cx, y_tip), (cx + arrow_w, y_arrow), (cx + arrow_w * 0.35, y_arrow),
                (cx + arrow_w * 0.35, y_arrow + 18), (cx - arrow_w * 0.35, y_arrow + 18),
                (cx - arrow_w * 0.35, y_arrow), (cx - arrow_w, y_arrow)], 20, 8, z,
               albedo=ORANGE, spec=0.45)
    sc.polygon([(cx, y_tip + 22), (cx + arrow_w * 0.45, y_arrow - 8),
                (cx - arrow_w * 0.45, y_arrow - 8)], 4, 3, z + 20, albedo=RED, spec=0.5)
    for y in np.arange(y_arrow + 40, y_base - 20, 44):
        sc.lamp(cx - half_w + 5, y, z + 16, (255, 60, 30), r=2.8)
        sc.lamp(cx + half_w - 5, y, z + 16, (255, 60, 30), r=2.8)
    sc.lamp(cx, y_tip + 10, z + 24, (255, 140, 40), r=4.0)
    sc.lamp(cx - arrow_w + 14, y_arrow - 5, z + 20, (255, 60, 30), r=3.2)
    sc.lamp(cx + arrow_w - 14, y_arrow - 5, z + 20, (255, 60, 30), r=3.2)


def _seams_across(step, colour):
    """Plates of one colour, with a dark seam across every step along the length."""
    colour = np.asarray(colour, np.float32)

    def f(u, v):
        seam = np.abs(((v / step) % 1.0) - 0.5) > 0.44
        return colour * np.where(seam, 0.55, 1.0)[..., None]

    return f


def _tail_mark(sc, cx, y_base, y_end, half_w, z, bar_w):
    """The roll marker's tail: a plated magenta bar from the hub toward the bottom of the
    picture, ending in a crossbar with a lamp at each end, raised above what lies under it."""
    sc.box(cx, (y_base + y_end) / 2, half_w, (y_end - y_base) / 2, 12, 4, z0=z,
           albedo=_seams_across(36, TAIL), spec=0.4)
    sc.box(cx, y_end, bar_w, 20, 14, 5, z0=z, albedo=TAIL, spec=0.45, rad=6)
    for side in (-1, 1):
        sc.lamp(cx + side * (bar_w - 12), y_end, z + 14, (255, 90, 230), r=3.2)


# ------------------------------------------------------------------ station 1: the ring


def build_station1():
    sc = Scene()
    C = SIZE / 2
    R, r = 292.0, 30.0
    sc.torus(C, C, R, r, 0, _panel_lines(np.pi / 24, None, 0.7), 0.4)
    # windows along the ring
    sl, X, Y = sc._win(C - R - r, C - R - r, C + R + r, C + R + r)
    ang = np.arctan2(Y - C, X - C)
    rho = np.hypot(X - C, Y - C) - R
    on_ring = sc.ID[sl] == 1
    for band in (-0.55, 0.55):
        w = (np.abs(rho / r - band) < 0.09) & (np.abs(((ang / (np.pi / 96)) % 1.0) - 0.5) < 0.28)
        sc.window_light(sl, w & on_ring)
    # four spokes on the diagonals, each a pipe with collars
    for k in range(4):
        a = np.pi / 4 + k * np.pi / 2
        ca, sa = np.cos(a), np.sin(a)
        sc.cylinder(C + 90 * ca, C + 90 * sa, C + (R - 10) * ca, C + (R - 10) * sa, 11, 4,
                    _panel_lines(40, None, 0.75), 0.4)
        for t in (140, 200, 250):
            sc.cylinder(C + (t - 5) * ca, C + (t - 5) * sa, C + (t + 5) * ca, C + (t + 5) * sa,
                        15, 4, METAL_DARK, 0.3)
    # habitat blocks on the ring
    for k in range(8):
        a = k * np.pi / 4
        if k in (1, 3, 5, 7):
            hw, hh, ht = 22, 40, 36
        else:
            hw, hh, ht = 46, 44, 44
        cx, cy = C + R * np.cos(a), C + R * np.sin(a)
        bid = sc.box(cx, cy, hh, hw, ht, 8, ang=a, z0=4,
                     albedo=_panel_lines(16, 22, 0.78, (178, 180, 188)), rad=6)
        sl, X, Y = sc._win(cx - 70, cy - 70, cx + 70, cy + 70)
        u, v = rotate(X, Y, cx, cy, a)
        win = ((np.abs(((v / 8.0) % 1.0) - 0.5) < 0.2) & (np.abs(u) < hh - 12) & (
            np.abs(np.abs(u) % 22 - 11) > 3) & (np.abs(v) < hw - 10))
        win &= sc.ID[sl] == bid
        sc.window_light(sl, win)
    # cargo pods clamped to the outer rim, between the blocks
    pods = [(156, 124, 78), (96, 112, 140), (170, 164, 150), (120, 128, 110)]
    for k in range(8):
        a = k * np.pi / 4 + np.pi / 8
        for j, da in enumerate((-0.075, 0.0, 0.075)):
            if (k + j) % 3 == 2:
                continue
            aa = a + da
            cx, cy = C + (R + 22) * np.cos(aa), C + (R + 22) * np.sin(aa)
            sc.box(cx, cy, 11, 9, 26, 4, ang=aa, z0=2, albedo=pods[(k + j) % 4], rad=2)
    # the hub: a drum with a raised collar and the port on top
    sc.disc(C, C, 104, 34, 14, 0, _panel_lines(np.pi / 12, 34, 0.74), 0.35)
    sc.torus(C, C, 104, 10, 14, GOLD, 0.5)
    sc.disc(C, C, 70, 10, 4, 34, (150, 154, 164), 0.35)
    for k in range(12):
        a = k * np.pi / 6
        sc.box(C + 86 * np.cos(a), C + 86 * np.sin(a), 8, 5, 4, 2, ang=a, z0=34,
               albedo=METAL_DARK)
    for k in range(4):
        a = k * np.pi / 2 + np.pi / 4
        sc.lamp(C + 92 * np.cos(a), C + 92 * np.sin(a), 40, (255, 190, 70), r=2.8)
    _docking_port(sc, C, C, 44, (90, 255, 140))
    _marker_arm(sc, C, C - 80, 6, 15, 48, 62, 70)
    _tail_mark(sc, C, C + 60, C + 218, 22, 48, 62)
    return sc


def make_station1(path):
    pm, al = build_station1().render()
    _save_levels(path, pm, al, LEVELS)


# ------------------------------------------------------------------ station 2: hex and wings


def _solar(u, v):
    cell = np.asarray([34, 54, 122], np.float32)
    line = np.asarray([150, 156, 170], np.float32)
    g = (np.abs(((u / 14.0) % 1.0) - 0.5) > 0.42) | (np.abs(((v / 20.0) % 1.0) - 0.5) > 0.45)
    shade = 1 + 0.12 * np.sin(v / 37.0 + u / 53.0) + 0.1 * (_hash(np.floor(u / 14.0),
                                                                 np.floor(v / 20.0)) - 0.5)
    return np.where(g[..., None], line, cell * shade[..., None])


def _radiator(u, v):
    base = np.asarray([196, 198, 202], np.float32)
    rib = np.abs(((u / 6.0) % 1.0) - 0.5) > 0.38
    return np.where(rib[..., None], base * 0.78, base)


def build_station2():
    sc = Scene()
    C = SIZE / 2
    # wings: a truss each side carrying two pairs of solar panels
    for s in (-1, 1):
        sc.box(C + s * 232, C, 134, 12, 16, 4, z0=2, albedo=_panel_lines(12, None, 0.6,
                                                                         METAL_DARK))
        for px in (182, 290):
            x = C + s * px
            sc.box(x, C - 128, 42, 94, 4, 1.5, z0=6, albedo=_solar, spec=0.7)
            sc.box(x, C + 128, 42, 94, 4, 1.5, z0=6, albedo=_solar, spec=0.7)
            sc.box(x, C, 10, 30, 24, 5, z0=2, albedo=GOLD, spec=0.5)
        sc.sphere(C + s * 368, C, 12, 8, METAL)
        sc.lamp(C + s * 369, C, 22, (60, 255, 110) if s > 0 else (255, 50, 40), r=3.2)
    # lower arm: a chain of living modules
    sc.cylinder(C, C + 100, C, C + 250, 36, 0, _panel_lines(30, None, 0.72), 0.4)
    sc.sphere(C, C + 270, 40, 0, METAL)
    sc.cylinder(C, C + 290, C, C + 360, 28, 0, _panel_lines(22, None, 0.72), 0.4)
    sc.disc(C, C + 362, 24, 10, 4, 10, METAL_DARK)
    for y in np.arange(C + 120, C + 250, 12):
        sl, X, Y = sc._win(C - 36, y - 2, C + 36, y + 2)
        sc.window_light(sl, (np.abs(Y - y) < 2.2) & (np.abs(np.abs(X - C) - 24) < 4))
    # radiators across the lower arm
    for sgn in (-1, 1):
        sc.box(C + sgn * 84, C + 206, 46, 18, 3, 1.2, z0=12, albedo=_radiator, spec=0.45)
        sc.box(C + sgn * 84, C + 206, 46, 3, 8, 2, z0=4, albedo=METAL_DARK)
    # four living modules on the diagonals
    for k in range(4):
        a = [np.pi / 4, 3 * np.pi / 4, 5 * np.pi / 4, 7 * np.pi / 4][k]
        ca, sa = np.cos(a), np.sin(a)
        sc.cylinder(C + 100 * ca, C + 100 * sa, C + 214 * ca, C + 214 * sa, 26, 0,
                    _panel_lines(18, None, 0.74, (188, 182, 166)), 0.4)
        sc.sphere(C + 214 * ca, C + 214 * sa, 26, 0, (188, 182, 166), 0.45)
        sc.cylinder(C + 146 * ca, C + 146 * sa, C + 156 * ca, C + 156 * sa, 30, 0, METAL_DARK)
        for t in np.arange(130, 210, 9):
            if 140 < t < 162:
                continue
            x, y = C + t * ca, C + t * sa
            sl, X, Y = sc._win(x - 30, y - 30, x + 30, y + 30)
            u, v = rotate(X, Y, x, y, a)
            win = (np.abs(u) < 2.2) & (np.abs(np.abs(v) - 12) < 3.5)
            sc.window_light(sl, win)
        sc.lamp(C + 236 * ca, C + 236 * sa, 10, (255, 200, 90), r=2.6)
    # the hexagonal core
    hexpts = [(C + 124 * np.cos(a), C + 124 * np.sin(a)) for a in np.arange(6) * np.pi / 3]
    sc.polygon(hexpts, 44, 16, 0, _panel_lines(26, 26, 0.8, (172, 176, 186)), 0.35)
    hex2 = [(C + 82 * np.cos(a + np.pi / 6), C + 82 * np.sin(a + np.pi / 6))
            for a in np.arange(6) * np.pi / 3]
    sc.polygon(hex2, 10, 5, 44, (140, 146, 158), 0.4)
    for k in range(6):
        a = k * np.pi / 3 + np.pi / 6
        ca, sa = np.cos(a), np.sin(a)
        sl, X, Y = sc._win(C - 125, C - 125, C + 125, C + 125)
        u, v = rotate(X, Y, C + 100 * ca, C + 100 * sa, a)
        sc.window_light(sl, (np.abs(u) < 3) & (np.abs(((v + 30) % 10) - 5) < 2.5) & (
            np.abs(v) < 36))
    _docking_port(sc, C, C, 54, (100, 200, 255))
    _marker_arm(sc, C, C - 90, 6, 22, 52, 84, 96)
    _tail_mark(sc, C, C + 66, C + 300, 28, 52, 76)
    return sc


def make_station2(path):
    pm, al = build_station2().render()
    _save_levels(path, pm, al, LEVELS)


def make_icon(path):
    """32 x 32 window icon: the ring station with its orange arrow, drawn for its size."""
    n, ss = 32, 4
    X, Y = np.meshgrid((np.arange(n * ss) + 0.5) / ss, (np.arange(n * ss) + 0.5) / ss)
    cx, cy = 16.0, 17.5
    d = np.hypot(X - cx, Y - cy)
    ring = np.abs(d - 11.0) - 2.6
    spokes = np.full(X.shape, np.inf)
    for k in range(4):
        a = np.pi / 4 + k * np.pi / 2
        u, v = rotate(X, Y, cx, cy, a)
        spokes = np.minimum(spokes, np.where(u > 0, np.abs(v) - 1.25, np.inf))
    spokes = np.where(d < 11, spokes, np.inf)
    hub = d - 5.2
    arm = sd_box(X, Y, cx, 9.0, 1.7, 6.5)
    arrow = sd_polygon(X, Y, [(cx, 0.3), (cx + 6.2, 6.3), (cx - 6.2, 6.3)])
    body = np.minimum(np.minimum(ring, spokes), hub)
    mark = np.minimum(arm, arrow)
    shape = np.minimum(body, mark)
    img = np.zeros(X.shape + (3,), np.float32)
    # metal lit from the top left, orange marker, green port
    lit = np.clip(0.75 - 0.35 * ((X - cx) + (Y - cy)) / 14, 0.35, 1.1)
    img[:] = np.array([176, 182, 196], np.float32) * lit[..., None]
    ring_shade = np.clip(1 - np.abs(d - 11.0) / 2.6, 0, 1) ** 0.5
    img *= np.where(np.abs(d - 11) < 2.6, 0.6 + 0.4 * ring_shade, 1.0)[..., None]
    img = np.where((mark < 0)[..., None], np.array([246, 130, 30], np.float32), img)
    img = np.where((d < 1.8)[..., None], np.array([90, 250, 140], np.float32), img)
    outline = (shape >= -0.6)[..., None]
    img = np.where(outline, np.array([34, 38, 50], np.float32), img)
    a = (shape < 0.5).astype(np.float32)
    pm = (img * a[..., None]).reshape(n, ss, n, ss, 3).mean(axis=(1, 3))
    al = a.reshape(n, ss, n, ss).mean(axis=(1, 3))
    col = pm / np.maximum(al, 1e-3)[..., None]
    save_png(path, col, al >= 0.5, lo=8)
