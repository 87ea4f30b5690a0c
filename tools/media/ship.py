"""The green ship icon: nine frames of a small craft turning about its vertical axis."""

import numpy as np
from PIL import Image, ImageDraw

from .common import save_png

CELL = 100
SS = 4


def _section(z, w, h, y0=0.0):
    """An octagonal hull section at length position z."""
    pts = []
    for a in np.arange(8) * np.pi / 4 + np.pi / 8:
        pts.append((w * np.cos(a) / np.cos(np.pi / 8), y0 + h * np.sin(a) / np.cos(np.pi / 8), z))
    return pts


def ship_model():
    """Vertices (x right, y up, z forward) and faces (lists of vertex indices)."""
    verts, faces = [], []

    def add(pts):
        base = len(verts)
        verts.extend(pts)
        return list(range(base, base + len(pts)))

    sections = [(-1.0, 0.30, 0.26), (-0.75, 0.42, 0.34), (0.35, 0.40, 0.30), (0.85, 0.24, 0.18)]
    rings = [add(_section(z, w, h)) for z, w, h in sections]
    for a, b in zip(rings, rings[1:]):
        for i in range(8):
            j = (i + 1) % 8
            faces.append([a[i], a[j], b[j], b[i]])
    nose = add([(0.0, 0.02, 1.15)])[0]
    for i in range(8):
        faces.append([rings[-1][i], rings[-1][(i + 1) % 8], nose])
    faces.append(rings[0][::-1])
    # wings
    for s in (-1, 1):
        w = add([(s * 0.38, -0.05, 0.1), (s * 1.05, -0.12, -0.55), (s * 1.05, -0.12, -0.8),
                 (s * 0.38, -0.05, -0.8)])
        faces.append(w)
        pod = add([(s * 1.05, -0.12, -0.3), (s * 1.12, -0.05, -0.85), (s * 1.05, -0.2, -0.85)])
        faces.append(pod)
    # tail fin
    fin = add([(0.0, 0.3, -0.35), (0.0, 0.72, -0.85), (0.0, 0.72, -1.0), (0.0, 0.3, -1.0)])
    faces.append(fin)
    # cockpit canopy
    can = add([(-0.18, 0.32, 0.55), (0.18, 0.32, 0.55), (0.12, 0.40, 0.15), (-0.12, 0.40, 0.15)])
    faces.append(can)
    return np.array(verts, np.float64), faces


def _frame(yaw):
    verts, faces = ship_model()
    cy, sy = np.cos(yaw), np.sin(yaw)
    rot_y = np.array([[cy, 0, sy], [0, 1, 0], [-sy, 0, cy]])
    tilt = 0.42
    ct, st = np.cos(tilt), np.sin(tilt)
    rot_x = np.array([[1, 0, 0], [0, ct, -st], [0, st, ct]])
    v = verts @ rot_y.T @ rot_x.T
    scale = 38 * SS
    c = CELL * SS / 2
    px = c + v[:, 0] * scale
    py = c - v[:, 1] * scale + 4 * SS
    im = Image.new("RGB", (CELL * SS, CELL * SS), (6, 18, 12))
    d = ImageDraw.Draw(im)
    for k in range(0, CELL * SS, 10 * SS):
        d.line([(k, 0), (k, CELL * SS)], fill=(10, 30, 20), width=SS // 2)
        d.line([(0, k), (CELL * SS, k)], fill=(10, 30, 20), width=SS // 2)
    for r in (44, 30):
        d.ellipse([c - r * SS, c - r * SS, c + r * SS, c + r * SS], outline=(14, 44, 28),
                  width=SS // 2)
    light = np.array([-0.4, 0.7, 0.6])
    light /= np.linalg.norm(light)
    order = sorted(range(len(faces)), key=lambda i: np.mean(v[faces[i], 2]))
    for i in order:
        f = faces[i]
        p = v[f]
        n = np.cross(p[1] - p[0], p[2] - p[0])
        nn = np.linalg.norm(n)
        n = n / nn if nn > 1e-9 else np.array([0, 0, 1.0])
        b = 0.22 + 0.78 * abs(float(n @ light))
        fill = (int(30 * b), int(200 * b), int(90 * b))
        pts = [(px[j], py[j]) for j in f]
        d.polygon(pts, fill=fill)
        d.line(pts + [pts[0]], fill=(120, 254, 170), width=SS)
    return np.asarray(im.resize((CELL, CELL), Image.LANCZOS), np.float32)


def make_ship_sheet(path):
    sheet = np.zeros((3 * CELL, 3 * CELL, 3), np.float32)
    for i in range(9):
        r, c = divmod(i, 3)
        sheet[r * CELL:(r + 1) * CELL, c * CELL:(c + 1) * CELL] = _frame(np.radians(40 * i))
    save_png(path, sheet)
