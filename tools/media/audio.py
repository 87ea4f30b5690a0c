"""Sound effects and music. Everything is synthesised on a circular time line (each part
wraps around the end), so the loops have no seam."""

import os
import subprocess
import tempfile
import wave

import numpy as np

SR_FX = 22050
# The music is made and encoded at the rate the game opens the mixer at: the mixer then
# plays the decoded samples as they are, with no rate conversion (SDL 2's converter, under
# sdl12-compat, writes past SDL_mixer 1.2's buffer when it halves 44.1 kHz). Nothing is
# lost: the mixer's output holds nothing above 11 kHz anyway.
SR_MUSIC = 22050

# Peaks of the three layers as the mixer plays them, at full volume. The mixer adds them, so
# their sum stays under -1 dBFS and the mix never clips, whatever plays at the same moment.
MUSIC_PEAK = 0.50
ENGINE_PEAK = 0.17
THRUSTER_PEAK = 0.18
assert MUSIC_PEAK + ENGINE_PEAK + THRUSTER_PEAK <= 10 ** (-1 / 20) - 0.04


def write_wav(path, x, sr):
    """Write mono (N,) or stereo (N, 2) float samples in -1..1 as 16-bit PCM."""
    x = np.asarray(x, np.float64)
    ch = 1 if x.ndim == 1 else x.shape[1]
    pcm = np.clip(np.rint(x * 32767), -32767, 32767).astype("<i2")
    with wave.open(path, "wb") as w:
        w.setnchannels(ch)
        w.setsampwidth(2)
        w.setframerate(sr)
        w.writeframes(pcm.tobytes())


def _periodic_noise(n, gain_fn, seed, sr):
    """Noise whose spectrum follows gain_fn(freq); periodic in n samples by construction."""
    rng = np.random.default_rng(seed)
    f = np.fft.rfftfreq(n, 1.0 / sr)
    spec = (rng.standard_normal(f.size) + 1j * rng.standard_normal(f.size)) * gain_fn(f)
    spec[0] = 0
    x = np.fft.irfft(spec, n)
    return x / np.max(np.abs(x))


def _lower_crest(x, shape, rounds=40):
    """Noise with the magnitude spectrum shape but lower peaks for the same loudness: clip
    at twice the RMS and restore the spectrum, round after round (circular like the rest)."""
    for _ in range(rounds):
        limit = 2.0 * np.sqrt(np.mean(x * x))
        spec = np.fft.rfft(np.clip(x, -limit, limit))
        x = np.fft.irfft(shape * np.exp(1j * np.angle(spec)), x.size)
    return x / np.max(np.abs(x))


def _best_seam(x):
    """Turn a circular signal so that it starts where the wrap-around step is smallest and
    the signal is near zero: the loop then closes with no click."""
    step = np.abs(x - np.roll(x, 1))
    k = int(np.argmin(step + 0.5 * np.abs(x)))
    return np.roll(x, -k)


def make_engine(path):
    dur = 2.0
    n = int(SR_FX * dur)
    t = np.arange(n) / SR_FX
    # every frequency is a multiple of 1/dur = 0.5 Hz, so each part repeats exactly
    parts = [(46.0, 1.0, 0.0), (92.0, 0.55, 1.1), (138.0, 0.22, 2.0), (55.5, 0.35, 0.4),
             (184.0, 0.10, 0.7), (230.0, 0.06, 2.9), (27.5, 0.3, 1.7)]
    x = sum(a * np.sin(2 * np.pi * f * t + p) for f, a, p in parts)
    x *= 1 + 0.12 * np.sin(2 * np.pi * 3.0 * t) + 0.06 * np.sin(2 * np.pi * 7.5 * t + 1.0)
    rumble = _periodic_noise(n, lambda f: 1.0 / (1 + (f / 120.0) ** 4) * (f > 15), 7, SR_FX)
    x = x / np.max(np.abs(x)) + 0.35 * rumble
    x = _best_seam(x)
    write_wav(path, ENGINE_PEAK * x / np.max(np.abs(x)), SR_FX)


def make_thruster(path):
    n = int(SR_FX * 1.5)

    def gain(f):
        hiss = (f / 2500.0) ** 1.2 / (1 + (f / 2500.0) ** 3.2)
        body = 0.5 / (1 + ((f - 500.0) / 350.0) ** 2)
        return (hiss + body) * (f > 40)

    x = _periodic_noise(n, gain, 8, SR_FX)
    x = _lower_crest(x, np.abs(np.fft.rfft(x)))
    t = np.arange(n) / SR_FX
    x *= 1 + 0.1 * np.sin(2 * np.pi * 4.0 * t)  # 4 Hz: six whole wobbles in 1.5 s
    x = _best_seam(x)
    write_wav(path, THRUSTER_PEAK * x / np.max(np.abs(x)), SR_FX)


# ---------------------------------------------------------------------------- music


def midi_hz(m):
    return 440.0 * 2 ** ((m - 69) / 12.0)


class Track:
    """A stereo circular buffer: a note that runs past the end carries on at the start."""

    def __init__(self, seconds, sr=SR_MUSIC):
        self.sr = sr
        self.n = int(seconds * sr)
        self.buf = np.zeros((self.n, 2))

    def add(self, start, sig, pan=0.0):
        gains = np.array([np.cos((pan + 1) * np.pi / 4), np.sin((pan + 1) * np.pi / 4)])
        pos = int(round(start * self.sr)) % self.n
        done = 0
        while done < sig.size:  # wrap around the end as often as needed
            take = min(sig.size - done, self.n - pos)
            self.buf[pos:pos + take] += sig[done:done + take, None] * gains
            done += take
            pos = 0


def _pad_note(freq, length, sr, rng, attack=2.2, release=3.0):
    n = int((length + release) * sr)
    t = np.arange(n) / sr
    sig = np.zeros(n)
    for cents in (-6.0, 0.0, 5.0):
        f = freq * 2 ** (cents / 1200)
        ph = rng.uniform(0, 2 * np.pi)
        w = 2 * np.pi * f * t + ph
        sig += np.sin(w) + 0.18 * np.sin(2 * w + 0.3) + 0.06 * np.sin(3 * w + 1.1)
    env = np.minimum(1.0, t / attack) ** 2
    rel = np.clip((t - length) / release, 0, 1)
    env *= np.cos(rel * np.pi / 2) ** 2
    env *= 1 + 0.12 * np.sin(2 * np.pi * t / 5.3 + rng.uniform(0, 6))
    return sig * env / 3


def _bell(freq, sr, length=4.0):
    n = int(length * sr)
    t = np.arange(n) / sr
    index = 1.2 * np.exp(-t / 0.45)
    mod = np.sin(2 * np.pi * freq * 2.0 * t)
    sig = np.sin(2 * np.pi * freq * t + index * mod)
    sig += 0.25 * np.sin(2 * np.pi * freq * 3.01 * t) * np.exp(-t / 0.35)
    env = np.exp(-t / 1.3) * np.minimum(1, t / 0.012) ** 2
    return sig * env


def _pluck(freq, sr, length=1.6):
    n = int(length * sr)
    t = np.arange(n) / sr
    sig = np.sin(2 * np.pi * freq * t) + 0.3 * np.sin(4 * np.pi * freq * t) * np.exp(-t / 0.1)
    return sig * np.exp(-t / 0.45) * np.minimum(1, t / 0.012) ** 2


def _circular_convolve(x, ir):
    n = x.shape[0]
    out = np.empty_like(x)
    for c in range(x.shape[1]):
        h = np.zeros(n)
        h[: ir.shape[0]] = ir[:, c]
        out[:, c] = np.fft.irfft(np.fft.rfft(x[:, c]) * np.fft.rfft(h), n)
    return out


CHORDS = [  # (bass root, upper voices) as MIDI notes, key of D major
    (38, [57, 61, 64, 66]),  # Dmaj9
    (35, [54, 57, 61, 62]),  # Bm9
    (31, [54, 59, 61, 62]),  # Gmaj7(#11)
    (33, [52, 57, 59, 64]),  # Asus2
    (28, [55, 59, 62, 66]),  # Em9
    (30, [57, 61, 64, 66]),  # F#m7
    (31, [54, 57, 59, 62]),  # Gmaj9
    (33, [55, 57, 62, 64]),  # A7sus4
]
PENTA = [62, 64, 66, 69, 71, 74, 76, 78, 81]


def make_music(path):
    bar = 4.0
    chord_len = 2 * bar
    seconds = len(CHORDS) * chord_len  # 64 s
    sr = SR_MUSIC
    rng = np.random.default_rng(2024)
    pads = Track(seconds)
    bass = Track(seconds)
    bells = Track(seconds)
    arps = Track(seconds)
    last = 69
    for k, (root, voices) in enumerate(CHORDS):
        t0 = k * chord_len
        for j, m in enumerate(voices):
            pads.add(t0 - 0.6, _pad_note(midi_hz(m), chord_len + 0.6, sr, rng),
                     pan=(-0.6, -0.2, 0.2, 0.6)[j])
        bass.add(t0, _pad_note(midi_hz(root + 12), chord_len, sr, rng, 1.2, 2.0), 0.0)
        # a slow bell line on the chord's notes, one to three notes a bar
        chord_pcs = {v % 12 for v in voices} | {root % 12}
        fits = [p for p in PENTA if p % 12 in chord_pcs] or PENTA
        for b in range(2):
            beats = sorted(rng.choice([0, 1, 1.5, 2, 3, 3.5], size=rng.integers(1, 4),
                                      replace=False))
            for beat in beats:
                # mostly small steps from the last note: a melody rather than random pings
                weights = np.array([1.0 / (1 + abs(f - last) / 2.5) ** 2 for f in fits])
                note = int(rng.choice(fits, p=weights / weights.sum()))
                last = note
                bells.add(t0 + b * bar + beat, _bell(midi_hz(note), sr) * 0.5,
                          pan=float(rng.uniform(-0.5, 0.5)))
        # soft arpeggio in the second half
        if k >= 4:
            arp = sorted(voices) + [sorted(voices)[1] + 12]
            for s in range(16):
                m = arp[[0, 1, 2, 3, 4, 3, 2, 1][s % 8]] + 12
                arps.add(t0 + s * 0.5, _pluck(midi_hz(m), sr) * (0.6 + 0.4 * (s % 2 == 0)),
                         pan=0.4 * np.sin(s * 0.8))
    mix = pads.buf * 0.30 + bass.buf * 0.30 + bells.buf * 0.16 + arps.buf * 0.07
    # echo on the bells and plucks, then a long soft reverb, all circular
    echo_in = bells.buf * 0.16 + arps.buf * 0.07
    taps = np.zeros((int(2.4 * sr), 2))
    for i, (d, g) in enumerate([(0.75, 0.35), (1.5, 0.18), (2.25, 0.09)]):
        ch = i % 2
        taps[int(d * sr) - 1, 1 - ch] = g
        taps[int(d * sr) - 1, ch] = g * 0.3
    mix += _circular_convolve(echo_in, taps)
    ir_len = int(3.5 * sr)
    t = np.arange(ir_len) / sr
    rrng = np.random.default_rng(99)
    ir = rrng.standard_normal((ir_len, 2)) * np.exp(-t / 0.9)[:, None]
    ir[: int(0.02 * sr)] *= np.linspace(0, 1, int(0.02 * sr))[:, None]
    ir /= np.sqrt((ir**2).sum(axis=0))
    mix = 0.7 * mix + 0.55 * _circular_convolve(mix, ir)
    mix /= np.max(np.abs(mix))
    # The encoder's ringing lifts the decoded peak a little over the input's: decode, and
    # encode again lower until the decoded peak keeps its share of the headroom.
    gain = MUSIC_PEAK
    with tempfile.TemporaryDirectory() as tmp:
        wav = os.path.join(tmp, "theme.wav")
        while True:
            write_wav(wav, gain * mix, sr)
            # constant 64 kbit/s at 22.05 kHz; lame writes no dated tag, so the file is the
            # same on every run
            subprocess.run(["lame", "--quiet", "--noreplaygain", "-b", "64", "--resample", "22.05",
                            "-m", "j", "-q", "2", wav, path], check=True)
            subprocess.run(["lame", "--quiet", "--decode", path, wav], check=True)
            with wave.open(wav, "rb") as w:
                decoded = np.frombuffer(w.readframes(w.getnframes()), "<i2")
            peak = np.max(np.abs(decoded.astype(np.int32))) / 32768
            if peak <= MUSIC_PEAK:
                break
            gain *= 0.995 * MUSIC_PEAK / peak
