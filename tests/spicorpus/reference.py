"""reference.py OUTDIR FILE... - the reference decoding of the plug-in
agreement test: for each FILE, OUTDIR/<name>.ref holds "OK <width> <height>\n"
and the first frame as red-green-blue bytes, transparency composed over white
and 16-bit samples scaled to 8 bits; or "ERR <reason>\n" when it is refused.
Pillow decodes every format but TGA, which ImageMagick decodes and turns to its
origin (Pillow ignores the right-to-left bit); ImageMagick also decodes what
Pillow cannot read (16-bit PSD, JPEG with bytes before its first segment)."""
import os
import subprocess
import sys

from PIL import Image

Image.MAX_IMAGE_PIXELS = None


def over_white(im):
    rgba = im.convert("RGBA")
    white = Image.new("RGBA", im.size, (255, 255, 255, 255))
    return Image.alpha_composite(white, rgba).convert("RGB")


def pillow(path):
    with Image.open(path) as im:
        im.load()
        if im.mode.startswith("I"):  # 16-bit grey
            im = im.point(lambda v: v / 257 + 0.5).convert("L")
        transparent = im.mode in ("RGBA", "LA", "PA", "La", "RGBa") or "transparency" in im.info
        im = over_white(im) if transparent else im.convert("RGB")
        return im.size, im.tobytes()


def magick(path):
    size = subprocess.run(["identify", "-format", "%w %h\n", path], check=True,
                          capture_output=True, text=True).stdout.split("\n")[0].split()
    raw = subprocess.run(["convert", path + "[0]", "-auto-orient", "-background", "white", "-flatten",
                          "-depth", "8", "rgb:-"], check=True, capture_output=True).stdout
    return (int(size[0]), int(size[1])), raw


def main():
    outdir = sys.argv[1]
    for path in sys.argv[2:]:
        name = os.path.basename(path)
        try:
            if name.lower().endswith(".tga"):
                size, data = magick(path)
            else:
                try:
                    size, data = pillow(path)
                except Exception:
                    size, data = magick(path)
            if len(data) != size[0] * size[1] * 3:
                raise ValueError("size and data differ")
            head = b"OK %d %d\n" % size
        except Exception as e:  # the reference refuses the file
            head, data = ("ERR %s\n" % str(e).replace("\n", " ")).encode(), b""
        with open(os.path.join(outdir, name + ".ref"), "wb") as f:
            f.write(head + data)


main()
