"""The demo's six weather videos: short MPEG-1 loops drawn frame by frame.

Each video is drawn with Pillow and encoded with GStreamer's command-line tool
(Debian: gstreamer1.0-tools, with mpeg2enc from gstreamer1.0-plugins-bad and
the MPEG program stream muxer). The videos do not follow the generation
moment, so they are made once and kept in a cache folder named after a hash of
everything they are drawn from; later deployments only copy them.
"""

import hashlib
import inspect
import math
import os
import random
import shutil
import subprocess
import sys
import tempfile

from PIL import Image, ImageChops, ImageDraw, ImageFilter

WIDTH, HEIGHT = 352, 288  # CIF, the classic MPEG-1 picture
PICTURES = 30  # drawn pictures per video, shown at PICTURE_RATE
PICTURE_RATE = 10
BITRATE_KBIT = 300

# Server path (under the video server's address) -> what it shows.
VIDEOS = {
    "terra3d/video/bmbf2.mpg": "europe",
    "terra3d/video/bmbf3.mpg": "world",
    "wetter/meteosat/met_512.mpg": "satellite",
    "wetter/meteosat/met_512OLD.mpg": "satellite_old",
    "terra3d/video/skycover.mpg": "skycover",
    "terra3d/video/dailystream.mpg": "stream",
}

# Continents of the world map, coarse, in degrees (longitude, latitude).
WORLD = [
    [(-168, 66), (-140, 70), (-95, 72), (-80, 63), (-60, 55), (-66, 45), (-81, 25),
     (-97, 26), (-97, 19), (-83, 9), (-105, 22), (-117, 33), (-125, 48), (-150, 60)],
    [(-80, 9), (-60, 10), (-35, -6), (-40, -22), (-58, -38), (-68, -55), (-75, -45),
     (-70, -18), (-81, -5)],
    [(-10, 36), (0, 50), (10, 58), (30, 70), (70, 73), (140, 72), (180, 67), (160, 58),
     (140, 50), (122, 40), (122, 24), (108, 12), (100, 2), (95, 18), (80, 8), (72, 20),
     (57, 25), (50, 30), (35, 36), (27, 40), (15, 37), (10, 44), (-9, 43)],
    [(-17, 21), (-5, 36), (10, 37), (32, 31), (43, 12), (51, 11), (40, -15), (35, -25),
     (20, -35), (12, -18), (9, 4), (-8, 4), (-17, 14)],
    [(114, -22), (129, -12), (142, -11), (153, -27), (146, -39), (135, -34), (115, -34)],
    [(-50, 60), (-20, 70), (-25, 82), (-60, 82), (-72, 77)],
]


class Map:
    """Plate carree from a lon/lat box onto the picture."""

    def __init__(self, west, east, south, north):
        self.west, self.north = west, north
        self.sx = WIDTH / (east - west)
        self.sy = HEIGHT / (north - south)

    def __call__(self, lon, lat):
        return ((lon - self.west) * self.sx, (self.north - lat) * self.sy)

    def poly(self, points):
        return [self(lon, lat) for lon, lat in points]


EUROPE = Map(-20.0, 40.0, 30.0, 66.0)
GLOBE = Map(-180.0, 180.0, -75.0, 85.0)


def europe_background(shapes, land, sea, coast):
    img = Image.new("RGB", (WIDTH, HEIGHT), sea)
    d = ImageDraw.Draw(img)
    d.polygon(EUROPE.poly(shapes["land"]), fill=land)
    for s in shapes["seas"]:
        d.polygon(EUROPE.poly(s), fill=sea)
    for s in shapes["islands"]:
        d.polygon(EUROPE.poly(s), fill=land)
    if coast:
        for s in [shapes["land"]] + shapes["seas"] + shapes["islands"]:
            pts = EUROPE.poly(s)
            d.line(pts + pts[:1], fill=coast)
        pts = EUROPE.poly(shapes["slovenia"])
        d.line(pts + pts[:1], fill=(255, 70, 60))
    return img


def world_background():
    img = Image.new("RGB", (WIDTH, HEIGHT), (22, 64, 120))
    d = ImageDraw.Draw(img)
    for shape in WORLD:
        d.polygon(GLOBE.poly(shape), fill=(92, 132, 70), outline=(150, 170, 110))
    for lat in (-60, -30, 0, 30, 60):
        y = GLOBE(0, lat)[1]
        d.line([(0, y), (WIDTH, y)], fill=(60, 100, 150))
    return img


def blobs(seed, count, t, drift, spread, size):
    """Cloud cover 0-255 from soft blobs that drift as t goes from 0 to 1."""
    rnd = random.Random(seed)
    small = Image.new("L", (WIDTH // 4, HEIGHT // 4), 0)
    d = ImageDraw.Draw(small)
    for _ in range(count):
        x = rnd.uniform(-0.2, 1.2) * small.width + drift[0] * t * small.width
        y = rnd.uniform(*spread) * small.height + drift[1] * t * small.height
        x %= small.width * 1.4
        x -= small.width * 0.2
        r = rnd.uniform(*size) * small.width
        d.ellipse([x - r, y - 0.6 * r, x + r, y + 0.6 * r], fill=rnd.randint(120, 255))
    small = small.filter(ImageFilter.GaussianBlur(3))
    return small.resize((WIDTH, HEIGHT), Image.BILINEAR)


def spiral_clouds(cx, cy, turn, scale):
    """A low's cloud spiral, 0-255."""
    small = Image.new("L", (WIDTH // 2, HEIGHT // 2), 0)
    d = ImageDraw.Draw(small)
    for arm in range(2):
        for i in range(60):
            a = turn + arm * math.pi + i * 0.11
            r = scale * (0.1 + i / 60)
            x, y = cx / 2 + r * math.cos(a), cy / 2 + 0.7 * r * math.sin(a)
            w = 3 + 5 * (1 - i / 60)
            d.ellipse([x - w, y - w, x + w, y + w], fill=230)
    return small.filter(ImageFilter.GaussianBlur(2.5)).resize((WIDTH, HEIGHT), Image.BILINEAR)


def stamp(d, label, text, n):
    hour = (6 + n // 3) % 24
    caption = f"{text}  {hour:02d}:00 UTC"
    d.rectangle([0, HEIGHT - 16, WIDTH, HEIGHT], fill=(0, 0, 0))
    label(d, (6, HEIGHT - 14), caption, (255, 255, 255))


def frame(kind, n, backgrounds, label):
    t = n / PICTURES
    if kind == "europe":
        clouds = blobs("evropa", 40, t, (0.35, 0.03), (0.0, 1.0), (0.04, 0.12))
        img = Image.composite(Image.new("RGB", (WIDTH, HEIGHT), (250, 250, 250)),
                              backgrounds["europe"], clouds.point(lambda v: v * 4 // 5))
        stamp(ImageDraw.Draw(img), label, "Evropa", n)
    elif kind == "world":
        clouds = ImageChops.lighter(
            blobs("svet-itcz", 50, t, (0.3, 0.0), (0.48, 0.58), (0.02, 0.06)),
            blobs("svet", 50, t, (0.5, 0.0), (0.1, 0.4), (0.03, 0.09)))
        img = Image.composite(Image.new("RGB", (WIDTH, HEIGHT), (245, 245, 245)),
                              backgrounds["world"], clouds.point(lambda v: v * 3 // 4))
        stamp(ImageDraw.Draw(img), label, "Svet", n)
    elif kind in ("satellite", "satellite_old"):
        hours = n + (0 if kind == "satellite" else -PICTURES)
        cx, cy = EUROPE(-14 + 0.15 * hours, 56 - 0.02 * hours)
        clouds = ImageChops.lighter(spiral_clouds(cx, cy, 0.05 * hours, 120),
                                    blobs("meteosat", 30, t, (0.2, 0.0), (0.0, 1.0),
                                          (0.02, 0.07)))
        img = Image.composite(Image.new("RGB", (WIDTH, HEIGHT), (235, 235, 235)),
                              backgrounds["satellite"], clouds)
        stamp(ImageDraw.Draw(img), label, "Meteosat", n)
    elif kind == "skycover":
        clouds = blobs("pokritost", 45, t, (0.3, 0.05), (0.0, 1.0), (0.05, 0.14))
        img = backgrounds["skycover"].copy()
        for lo, colour in ((40, (150, 190, 230)), (110, (190, 200, 215)), (180, (130, 135, 150))):
            img.paste(colour, mask=clouds.point(lambda v, lo=lo: 170 if v >= lo else 0))
        d = ImageDraw.Draw(img)
        pts = EUROPE.poly(backgrounds["slovenia"])
        d.line(pts + pts[:1], fill=(220, 40, 40))
        stamp(d, label, "Pokritost z oblaki", n)
    else:
        img = backgrounds["stream"].copy()
        d = ImageDraw.Draw(img)
        lx, ly = EUROPE(-8, 55)
        hx, hy = EUROPE(25, 48)
        for ring in range(1, 6):
            for centre, sense, colour in (((lx, ly), 1, (120, 200, 255)),
                                          ((hx, hy), -1, (255, 200, 110))):
                r = ring * 22
                for k in range(6):
                    a = sense * (t * 2 * math.pi / ring + k * math.pi / 3)
                    x, y = centre[0] + r * math.cos(a), centre[1] + 0.7 * r * math.sin(a)
                    b = a + sense * 0.35
                    x2, y2 = centre[0] + r * math.cos(b), centre[1] + 0.7 * r * math.sin(b)
                    d.line([(x, y), (x2, y2)], fill=colour, width=2)
                    d.ellipse([x2 - 2, y2 - 2, x2 + 2, y2 + 2], fill=colour)
        label(d, (lx - 3, ly - 5), "C", (255, 60, 60), (0, 0, 0))
        label(d, (hx - 3, hy - 5), "A", (80, 140, 255), (0, 0, 0))
        stamp(d, label, "Zračni tokovi", n)
    return img


def encode(folder, target):
    """The PNG pictures of a folder into an MPEG-1 program stream."""
    subprocess.run(
        ["gst-launch-1.0", "-q", "multifilesrc", f"location={folder}/%03d.png",
         "index=0", f"stop-index={PICTURES - 1}",
         f"caps=image/png,framerate={PICTURE_RATE}/1", "!", "pngdec", "!", "videoconvert",
         "!", "videorate", "!", "video/x-raw,format=I420,framerate=25/1", "!",
         # format 0: generic MPEG-1
         "mpeg2enc", "format=0", f"bitrate={BITRATE_KBIT}", "!", "mpegvideoparse", "!",
         "mpegpsmux", "!", "filesink", f"location={target}"],
        check=True, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=300)
    if os.path.getsize(target) == 0:
        raise RuntimeError(f"empty video {target}")


def cache_folder(fingerprint):
    base = os.environ.get("XDG_CACHE_HOME") or os.path.join(os.path.expanduser("~"), ".cache")
    return os.path.join(base, "nimbulon", "demo-videos", fingerprint)


def make(shapes, label):
    """{server path: MPEG bytes}; made once per fingerprint and cached."""
    source = inspect.getsource(sys.modules[__name__])
    fingerprint = hashlib.sha256(
        (source + repr(sorted(shapes.items())) + inspect.getsource(label)).encode("utf-8")
    ).hexdigest()[:16]
    folder = cache_folder(fingerprint)
    if not all(os.path.isfile(os.path.join(folder, os.path.basename(p))) for p in VIDEOS):
        os.makedirs(os.path.dirname(folder), exist_ok=True)
        work = tempfile.mkdtemp(prefix=".new-", dir=os.path.dirname(folder))
        try:
            backgrounds = {
                "europe": europe_background(shapes, (96, 130, 72), (30, 70, 130), (150, 160, 90)),
                "world": world_background(),
                "satellite": europe_background(shapes, (40, 44, 40), (12, 18, 32), (110, 110, 80)),
                "skycover": europe_background(shapes, (110, 160, 90), (60, 110, 170), None),
                "stream": europe_background(shapes, (70, 90, 70), (28, 46, 80), (120, 130, 100)),
                "slovenia": shapes["slovenia"],
            }
            for path, kind in VIDEOS.items():
                pictures = os.path.join(work, kind)
                os.makedirs(pictures)
                for n in range(PICTURES):
                    frame(kind, n, backgrounds, label).save(
                        os.path.join(pictures, f"{n:03d}.png"), compress_level=1)
                encode(pictures, os.path.join(work, os.path.basename(path)))
                shutil.rmtree(pictures)
            try:
                os.rename(work, folder)  # another deployment may have made them meanwhile
            except OSError:
                pass
        finally:
            shutil.rmtree(work, ignore_errors=True)
    out = {}
    for path in VIDEOS:
        with open(os.path.join(folder, os.path.basename(path)), "rb") as f:
            out[path] = f.read()
    return out
