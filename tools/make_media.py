#!/usr/bin/python3
"""Generate every picture, sound, the music and the font of Halvanne into assets/, and the
desktop icons into dist/icons/.

Rerun from the repository root with Debian's Python (not a virtualenv one):

    /usr/bin/python3 tools/make_media.py            # everything
    /usr/bin/python3 tools/make_media.py panel      # only the named groups

Needs the Debian packages python3-numpy, python3-pil, python3-fonttools, lame and
fonts-dejavu-core. All randomness uses fixed seeds, so a rerun gives byte-identical files.
"""

import os
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import importlib  # noqa: E402

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
ASSETS = os.path.join(ROOT, "assets")

GROUPS = {
    "panel": [
        ("uistatic3.png", "panel.make_panel"),
        ("crosshairs.png", "panel.make_crosshairs"),
        ("light.png", "panel.make_light"),
        ("handle.png", "panel.make_handle"),
        ("uicontrols.png", "panel.make_controls"),
        ("needle.png", "panel.make_needle"),
    ],
    "ship": [
        ("spaceshipgreen.png", "ship.make_ship_sheet"),
    ],
    "stations": [
        ("spacestation1.png", "stations.make_station1"),
        ("spacestation2.png", "stations.make_station2"),
        ("halvanne.png", "stations.make_icon"),
    ],
    "backgrounds": [
        ("background1.jpg", "backgrounds.make_background1"),
        ("background2.jpg", "backgrounds.make_background2"),
        ("background3.jpg", "backgrounds.make_background3"),
    ],
    "sounds": [
        ("engineloop.wav", "audio.make_engine"),
        ("thruster.wav", "audio.make_thruster"),
    ],
    "music": [
        ("HalvanneTheme.mp3", "audio.make_music"),
    ],
    "font": [
        ("00_Starmap_Truetype.ttf", "font.make_font"),
    ],
}

# The desktop icons go to dist/, outside the data folder: os.path.join keeps
# an absolute name as it is.
GROUPS["icons"] = [
    (os.path.join(ROOT, "dist", "icons", f"{n}x{n}", "halvanne.png"), f"icons.make_icon_{n}")
    for n in (32, 48, 64, 128, 256)
]


def main(argv):
    os.makedirs(ASSETS, exist_ok=True)
    wanted = argv or list(GROUPS)
    for group in wanted:
        for name, target in GROUPS[group]:
            module, func = target.split(".")
            fn = getattr(importlib.import_module("media." + module), func)
            t0 = time.time()
            fn(os.path.join(ASSETS, name))
            print(f"{name:24s} {time.time() - t0:6.1f} s")


if __name__ == "__main__":
    main(sys.argv[1:])
