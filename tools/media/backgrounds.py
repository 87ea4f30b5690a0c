"""Three starfields with nebulae, saved as JPEG. Star peaks stay well below white so that no
pixel decodes to the pure-white colour key."""

import numpy as np

from .common import blur, fractal_noise, save_jpeg, smoothstep

W, H = 1600, 1200

STAR_COLOURS = np.array([[160, 180, 255], [200, 214, 255], [236, 238, 250], [250, 240, 226],
                         [255, 214, 170], [255, 186, 130]], np.float32) / 255.0
STAR_WEIGHTS = np.array([0.12, 0.22, 0.3, 0.18, 0.12, 0.06])

# The red distance label (255, 0, 0) reads at 2:1 or better on anything darker than a
# relative luminance of 0.081: the clouds stay below this.
NEBULA_LUMINANCE = 0.078
SATURATION = 1.4
LUMINANCE_WEIGHTS = np.array([0.2126, 0.7152, 0.0722], np.float32)


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
    b = rng.uniform(30, 150, count) * rng.random(count) ** 2.5 + 14
    cols = STAR_COLOURS[rng.choice(len(STAR_COLOURS), count, p=STAR_WEIGHTS)]
    np.add.at(img, (ys, xs), b[:, None] * cols)


def _warp(field, wx, wy):
    """Sample a periodic field at displaced positions (bilinear)."""
    h, w = field.shape
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    x = (xx + wx) % w
    y = (yy + wy) % h
    x0 = np.floor(x).astype(np.int64)
    y0 = np.floor(y).astype(np.int64)
    fx, fy = x - x0, y - y0
    x1, y1 = (x0 + 1) % w, (y0 + 1) % h
    top = field[y0, x0] * (1 - fx) + field[y0, x1] * fx
    bot = field[y1, x0] * (1 - fx) + field[y1, x1] * fx
    return top * (1 - fy) + bot * fy


def _spikes(img, rng, count, colour_pick):
    """A few bright stars with soft cross-shaped glints."""
    for _ in range(count):
        x, y = rng.uniform(60, W - 60), rng.uniform(60, H - 60)
        c = STAR_COLOURS[colour_pick()]
        b = rng.uniform(120, 200)
        L = int(rng.uniform(14, 30))
        xi, yi = int(x), int(y)
        d = np.arange(-L, L + 1)
        fall = np.exp(-np.abs(d) / (L / 3.5)) * b * 0.45
        img[yi, xi - L:xi + L + 1] += fall[:, None] * c
        img[yi - L:yi + L + 1, xi] += fall[:, None] * c


def _shoulder(img):
    """A soft shoulder that keeps everything well below white."""
    return 234 * (1 - np.exp(-img / 234 * 1.15))


def _linear(display):
    c = np.clip(display, 0, 255) / 255.0
    return np.where(c <= 0.04045, c / 12.92, ((c + 0.055) / 1.055) ** 2.4)


def _display(linear):
    c = np.where(linear <= 0.0031308, linear * 12.92, 1.055 * linear ** (1 / 2.4) - 0.055)
    return c * 255.0


def _limit_luminance(display, ceiling):
    """Richer colour, then each pixel darkened, keeping its hue, so that its relative
    luminance (as WCAG measures it) eases off towards ceiling and never reaches it, while
    dim clouds keep nearly all of theirs."""
    lin = _linear(display)
    lum = (lin @ LUMINANCE_WEIGHTS)[..., None]
    # richer colour makes up for some of the lost brightness
    lin = np.maximum(lum + (lin - lum) * SATURATION, 0)
    lum = (lin @ LUMINANCE_WEIGHTS)[..., None]
    return _display(lin / (1 + lum / ceiling))


def _background(path, seed, palette, strength=1.0, offset=(0, 0)):
    rng = np.random.default_rng(seed)
    big = fractal_noise(H, W, 3.8, seed + 1)
    mid = fractal_noise(H, W, 3.0, seed + 2)
    wx = fractal_noise(H, W, 3.4, seed + 5) * 60
    wy = fractal_noise(H, W, 3.4, seed + 6) * 60
    shape = _warp(big + 0.45 * mid, wx, wy)
    fine = _warp(fractal_noise(H, W, 2.6, seed + 7), wx * 1.5, wy * 1.5)
    tint = smoothstep(-1.3, 1.3, _warp(fractal_noise(H, W, 3.8, seed + 3), wx, wy))[..., None]
    dust = _warp(fractal_noise(H, W, 3.1, seed + 4), wy, wx)
    dens = smoothstep(-0.5, 2.3, shape) ** 1.7 * (1 + 0.25 * fine)
    glow = smoothstep(0.8, 2.6, shape) ** 2
    ca, cb, cc = (np.asarray(c, np.float32) for c in palette)
    neb = (ca * (1 - tint) + cb * tint) * dens[..., None] * strength
    neb += cc * glow[..., None] * 0.7 * strength
    lanes = 1 - 0.7 * smoothstep(0.3, 1.7, dust) * smoothstep(-0.8, 0.6, shape)
    neb *= lanes[..., None]
    # every field is periodic: turn the picture so its brightest cloud sits near the middle,
    # where the game shows it
    lum = blur(neb.sum(axis=2), 40)
    py, px = np.unravel_index(int(np.argmax(lum)), lum.shape)
    neb = np.roll(neb, (H // 2 + offset[1] - py, W // 2 + offset[0] - px), axis=(0, 1))
    lanes = np.roll(lanes, (H // 2 + offset[1] - py, W // 2 + offset[0] - px), axis=(0, 1))
    img = np.empty((H, W, 3), np.float32)
    img[:] = (3, 4, 9)
    img += neb
    sky = _limit_luminance(_shoulder(img), NEBULA_LUMINANCE)
    stars = np.zeros_like(img)
    _faint_stars(rng, 14000, stars)
    _stars(rng, 1100, (30, 170), (0.5, 0.85), stars)
    _stars(rng, 90, (110, 230), (0.9, 1.8), stars)
    _spikes(stars, rng, 7, lambda: rng.choice(len(STAR_COLOURS), p=STAR_WEIGHTS))
    stars += blur(stars, 2.5) * 0.5
    img = sky + _shoulder(stars * (0.5 + 0.5 * lanes[..., None]))
    scale = 1.0
    while True:
        whites = save_jpeg(path, img * scale, quality=85)
        if whites == 0:
            return
        scale *= 0.96


def make_background1(path):
    _background(path, 101, [(40, 50, 150), (120, 40, 140), (60, 110, 190)], 1.0, (170, -90))


def make_background2(path):
    _background(path, 202, [(20, 100, 110), (150, 130, 60), (40, 160, 120)], 0.9, (-190, 60))


def make_background3(path):
    _background(path, 303, [(160, 50, 40), (110, 30, 110), (210, 120, 50)], 0.85, (120, 110))
