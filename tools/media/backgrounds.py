"""Three starfields with nebulae, saved as JPEG. Star peaks stay well below white so that no
pixel decodes to the pure-white colour key."""

import numpy as np

from .common import blur, fractal_noise, save_jpeg, smoothstep

W, H = 1600, 1200

STAR_COLOURS = np.array([[160, 180, 255], [200, 214, 255], [236, 238, 250], [250, 240, 226],
                         [255, 214, 170], [255, 186, 130]], np.float32) / 255.0
STAR_WEIGHTS = np.array([0.12, 0.22, 0.3, 0.18, 0.12, 0.06])


def _stars(rng, count, bright_range, sigma_range, img):
    cols = STAR_COLOURS[rng.choice(len(STAR_COLOURS), count, p=STAR_WEIGHTS)]
    xs = rng.uniform(0, W, count)
    ys = rng.uniform(0, H, count)
    lo, hi = bright_range
    bright = lo * (hi / lo) ** (rng.random(count) ** 3)
    sig = rng.uniform(*sigma_range, count)
    for x, y, b, s, c in zip(xs, ys, bright, sig, cols):
        k = int(np.ceil(s * 4)) + 1
        x0, y0 = int(x) - k, int(y) - k
        x1, y1 = int(x) + k + 1, int(y) + k + 1
        if x0 < 0 or y0 < 0 or x1 > W or y1 > H:
            continue
        gx = np.arange(x0, x1) + 0.5 - x
        gy = np.arange(y0, y1) + 0.5 - y
        g = np.exp(-(gy[:, None] ** 2 + gx[None, :] ** 2) / (2 * s * s))
        if s > 1.3:  # bright stars get a wide soft halo
            g += 0.12 * np.exp(-(gy[:, None] ** 2 + gx[None, :] ** 2) / (2 * (s * 3) ** 2))
        img[y0:y1, x0:x1] += (b * g)[..., None] * c


def _faint_stars(rng, count, img):
    xs = rng.integers(0, W, count)
    ys = rng.integers(0, H, count)
    b = rng.uniform(20, 110, count) * rng.random(count) ** 2 + 12
    cols = STAR_COLOURS[rng.choice(len(STAR_COLOURS), count, p=STAR_WEIGHTS)]
    np.add.at(img, (ys, xs), b[:, None] * cols)


def _background(path, seed, palette, strength=1.0):
    rng = np.random.default_rng(seed)
    n1 = fractal_noise(H, W, 3.2, seed + 1)
    n2 = fractal_noise(H, W, 2.4, seed + 2)
    n3 = fractal_noise(H, W, 3.6, seed + 3)
    n4 = fractal_noise(H, W, 2.8, seed + 4)
    dens = smoothstep(-0.4, 2.4, n1 + 0.45 * n2) ** 1.6
    wisps = smoothstep(0.2, 2.2, n2 * 0.8 + n1 * 0.4) ** 2
    mix = smoothstep(-1.2, 1.2, n3)[..., None]
    ca, cb, cc = (np.asarray(c, np.float32) for c in palette)
    neb = (ca * (1 - mix) + cb * mix) * dens[..., None] * strength
    neb += cc * wisps[..., None] * 0.6 * strength
    lanes = 1 - 0.65 * smoothstep(0.4, 1.8, n4)
    neb *= lanes[..., None]
    img = np.empty((H, W, 3), np.float32)
    img[:] = (3, 4, 9)
    img += neb
    stars = np.zeros_like(img)
    _faint_stars(rng, 9000, stars)
    _stars(rng, 700, (25, 140), (0.5, 0.9), stars)
    _stars(rng, 60, (90, 220), (1.0, 1.9), stars)
    stars += blur(stars, 2.5) * 0.6
    img += stars * (0.55 + 0.45 * lanes[..., None])
    img = 232 * (1 - np.exp(-img / 232 * 1.1))  # soft shoulder, nothing near white
    scale = 1.0
    while True:
        whites = save_jpeg(path, img * scale, quality=85)
        if whites == 0:
            return
        scale *= 0.96


def make_background1(path):
    _background(path, 101, [(40, 50, 150), (120, 40, 140), (60, 110, 190)])


def make_background2(path):
    _background(path, 202, [(20, 100, 110), (150, 130, 60), (40, 160, 120)], 0.9)


def make_background3(path):
    _background(path, 303, [(160, 50, 40), (110, 30, 110), (210, 120, 50)], 0.85)
