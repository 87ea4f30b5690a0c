"""Shared drawing helpers: signed distance shapes, height-field shading, noise, saving."""

import os

import numpy as np
from PIL import Image, ImageDraw, ImageFont

FONT_DIR = "/usr/share/fonts/truetype/dejavu"


# ---------------------------------------------------------------- coordinates and shapes


def grid(w, h, ss=1):
    """Pixel-centre coordinates (in output pixels) of a w x h picture sampled ss times."""
    xs = (np.arange(w * ss, dtype=np.float32) + 0.5) / ss
    ys = (np.arange(h * ss, dtype=np.float32) + 0.5) / ss
    return np.meshgrid(xs, ys)


def rotate(X, Y, cx, cy, ang):
    """Coordinates relative to (cx, cy) in a frame turned by ang radians."""
    dx, dy = X - cx, Y - cy
    c, s = np.cos(ang), np.sin(ang)
    return c * dx + s * dy, -s * dx + c * dy


def sd_circle(X, Y, cx, cy, r):
    return np.hypot(X - cx, Y - cy) - r


def sd_box(X, Y, cx, cy, hw, hh, rad=0.0):
    qx = np.abs(X - cx) - (hw - rad)
    qy = np.abs(Y - cy) - (hh - rad)
    out = np.hypot(np.maximum(qx, 0), np.maximum(qy, 0))
    return out + np.minimum(np.maximum(qx, qy), 0) - rad


def sd_rect(X, Y, x0, y0, x1, y1, rad=0.0):
    """Box given by its pixel edges: covers x0 <= x < x1, y0 <= y < y1."""
    return sd_box(X, Y, (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2, rad)


def sd_segment(X, Y, ax, ay, bx, by, r):
    px, py = X - ax, Y - ay
    vx, vy = bx - ax, by - ay
    t = np.clip((px * vx + py * vy) / max(vx * vx + vy * vy, 1e-9), 0, 1)
    return np.hypot(px - t * vx, py - t * vy) - r


def sd_polygon(X, Y, pts):
    pts = [(float(a), float(b)) for a, b in pts]
    d = np.full(X.shape, np.inf, np.float32)
    inside = np.zeros(X.shape, bool)
    n = len(pts)
    for i in range(n):
        ax, ay = pts[i]
        bx, by = pts[(i + 1) % n]
        d = np.minimum(d, sd_segment(X, Y, ax, ay, bx, by, 0))
        cond = (ay > Y) != (by > Y)
        xint = (bx - ax) * (Y - ay) / ((by - ay) if by != ay else 1e-9) + ax
        inside ^= cond & (X < xint)
    return np.where(inside, -d, d)


def cov(d, aa=1.0):
    """Anti-aliased coverage of a signed distance (pixel units)."""
    return np.clip(0.5 - d / aa, 0.0, 1.0)


def smoothstep(e0, e1, x):
    t = np.clip((x - e0) / (e1 - e0), 0.0, 1.0)
    return t * t * (3 - 2 * t)


def over(img, colour, a):
    """Paint colour (rgb tuple or HxWx3) with coverage a over img, in place."""
    a = a[..., None]
    img *= 1 - a
    img += np.asarray(colour, np.float32) * a
    return img


# ---------------------------------------------------------------- noise and filters


def fractal_noise(h, w, beta, seed, lowcut=0.0):
    """Zero-mean unit-variance periodic noise with power spectrum 1/f^beta."""
    rng = np.random.default_rng(seed)
    white = rng.standard_normal((h, w)).astype(np.float64)
    F = np.fft.rfft2(white)
    fy = np.fft.fftfreq(h)[:, None]
    fx = np.fft.rfftfreq(w)[None, :]
    f = np.sqrt(fx * fx + fy * fy)
    f[0, 0] = 1.0
    amp = f ** (-beta / 2.0)
    if lowcut > 0:
        amp *= 1 - np.exp(-((f / lowcut) ** 2))
    amp[0, 0] = 0.0
    out = np.fft.irfft2(F * amp, s=(h, w))
    out -= out.mean()
    out /= out.std() + 1e-12
    return out.astype(np.float32)


def blur(a, sigma):
    """Gaussian blur (circular, via FFT) of a 2-D array or of each channel of HxWxC."""
    if a.ndim == 3:
        return np.stack([blur(a[..., c], sigma) for c in range(a.shape[2])], axis=-1)
    h, w = a.shape
    pad = int(3 * sigma + 2)
    p = np.pad(a.astype(np.float64), pad, mode="edge")
    H, W = p.shape
    fy = np.fft.fftfreq(H)[:, None]
    fx = np.fft.rfftfreq(W)[None, :]
    g = np.exp(-2 * (np.pi * sigma) ** 2 * (fx * fx + fy * fy))
    out = np.fft.irfft2(np.fft.rfft2(p) * g, s=(H, W))
    return out[pad : pad + h, pad : pad + w].astype(np.float32)


def downsample(a, ss):
    """Box-filter a supersampled (H*ss)x(W*ss)[xC] array down to HxW."""
    if ss == 1:
        return a
    h, w = a.shape[0] // ss, a.shape[1] // ss
    shp = (h, ss, w, ss) + a.shape[2:]
    return a.reshape(shp).mean(axis=(1, 3))


# ---------------------------------------------------------------- height-field shading


def normals(H, scale=1.0):
    gy, gx = np.gradient(H * scale)
    nz = 1.0 / np.sqrt(gx * gx + gy * gy + 1.0)
    return -gx * nz, -gy * nz, nz


def light_dir(x, y, z):
    v = np.array([x, y, z], np.float64)
    return v / np.linalg.norm(v)


def shade(nx, ny, nz, albedo, light, ambient=0.35, diffuse=0.75, spec=0.25, power=24):
    """Lambert plus Blinn specular. Flat faces facing the viewer come out near albedo."""
    lx, ly, lz = light
    ndl = np.clip(nx * lx + ny * ly + nz * lz, 0, None)
    hx, hy, hz = lx, ly, lz + 1.0
    hn = np.sqrt(hx * hx + hy * hy + hz * hz)
    ndh = np.clip((nx * hx + ny * hy + nz * hz) / hn, 0, None)
    lit = ambient + diffuse * ndl / lz
    sp = spec * ndh**power
    return albedo * lit[..., None] + 255.0 * sp[..., None]


# ---------------------------------------------------------------- text


def text_mask(w, h, x, y, text, size, bold=True, anchor="la", spacing=0):
    """Coverage (0..1) of a text label drawn with a DejaVu font from fonts-dejavu-core."""
    name = "DejaVuSans-Bold.ttf" if bold else "DejaVuSans.ttf"
    font = ImageFont.truetype(os.path.join(FONT_DIR, name), size)
    im = Image.new("L", (w, h), 0)
    d = ImageDraw.Draw(im)
    if spacing:
        widths = [d.textlength(ch, font=font) for ch in text]
        total = sum(widths) + spacing * (len(text) - 1)
        if anchor[0] == "m":
            x -= total / 2
        cx = x
        for ch, cw in zip(text, widths):
            d.text((cx, y), ch, fill=255, font=font, anchor="l" + anchor[1])
            cx += cw + spacing
    else:
        d.text((x, y), text, fill=255, font=font, anchor=anchor)
    return np.asarray(im, np.float32) / 255.0


# ---------------------------------------------------------------- saving


def to_content(rgb, lo=0):
    """Round to 8 bits with every channel kept off pure white (and at least lo)."""
    return np.clip(np.rint(rgb), lo, 254).astype(np.uint8)


def save_png(path, rgb, mask=None, lo=0):
    """Save an RGB PNG. Where mask is False the pixel is the pure-white colour key."""
    out = to_content(rgb, lo)
    if mask is not None:
        out[~mask] = 255
    Image.fromarray(out, "RGB").save(path, optimize=True)
    return out


def save_jpeg(path, rgb, quality=85):
    Image.fromarray(np.clip(np.rint(rgb), 0, 254).astype(np.uint8), "RGB").save(
        path, quality=quality, optimize=True, subsampling=2
    )
    with Image.open(path) as im:
        back = np.asarray(im.convert("RGB"))
    return int(np.all(back == 255, axis=2).sum())
