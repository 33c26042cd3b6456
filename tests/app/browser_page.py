#!/usr/bin/env python3
"""A saved page with Japanese addresses, opened in a browser whose language is not Japanese:
every image must load. The addresses also hold characters that Windows-31J lacks (the wave dash and
minus sign of Linux input methods, a kanji beyond JIS, Hangul), which the page keeps as character
references. Serves the images and the pages from a loopback HTTP server at their UTF-8 paths and
opens them in headless Chromium with an English interface.

usage: browser_page.py WRITE_PAGE_PROGRAM
Exit 0 when every image loaded, 1 when not, 77 (skipped) when Chromium is not installed.
"""
import http.server
import json
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import threading
import zlib

SKIP = 77
FOLDER = "写真集〜2024−\U00020BB7"
HEAD = "画像_한_"
IMAGES = 3


def png(width, height):
    """A small valid PNG, grey."""
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    rows = b"".join(b"\x00" + b"\x80" * width for _ in range(height))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 0, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b""))


WRAPPER = """<html><body>
<iframe src="plain.htm"></iframe><iframe src="thumbnails.htm"></iframe>
<script>
var pending = 2, found = [];
function loaded(frame) {
  for (const img of frame.contentDocument.images)
    found.push({page: frame.getAttribute("src"), src: img.getAttribute("src"), width: img.naturalWidth});
  if (--pending == 0)
    document.body.setAttribute("data-images", JSON.stringify(found));
}
for (const frame of document.getElementsByTagName("iframe"))
  frame.addEventListener("load", () => loaded(frame));
</script></body></html>
"""


class QuietHandler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, *args):
        pass


def main():
    browser = shutil.which("chromium")
    if not browser:
        print("SKIP: Chromium is not installed (Debian package chromium), so no page was opened in a browser.")
        return SKIP
    write_page = sys.argv[1]
    with tempfile.TemporaryDirectory() as root:
        os.mkdir(os.path.join(root, FOLDER))
        for n in range(1, IMAGES + 1):
            with open(os.path.join(root, FOLDER, f"{HEAD}{n:04}.png"), "wb") as image:
                image.write(png(4 + n, 3))
        with open(os.path.join(root, "wrapper.htm"), "w") as wrapper:
            wrapper.write(WRAPPER)

        server = http.server.ThreadingHTTPServer(
            ("127.0.0.1", 0), lambda *a, **k: QuietHandler(*a, directory=root, **k))
        threading.Thread(target=server.serve_forever, daemon=True).start()
        base = f"http://127.0.0.1:{server.server_address[1]}/{FOLDER}/"
        for kind in ("plain", "thumbnails"):
            subprocess.run([write_page, os.path.join(root, f"{kind}.htm"), base, HEAD, ".png",
                            "1", str(IMAGES), "4", kind], check=True)

        profile = os.path.join(root, "profile")
        environment = dict(os.environ, LANG="C", LANGUAGE="C", LC_ALL="C")
        dom = subprocess.run(
            [browser, "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
             "--disable-background-networking", "--disable-component-update", "--disable-sync",
             "--lang=en-US", f"--user-data-dir={profile}", "--virtual-time-budget=10000", "--dump-dom",
             f"http://127.0.0.1:{server.server_address[1]}/wrapper.htm"],
            env=environment, capture_output=True, text=True, timeout=120).stdout
        server.shutdown()

    match = re.search(r'data-images="([^"]*)"', dom)
    if not match:
        print("FAIL: the pages never finished loading")
        return 1
    images = json.loads(match.group(1).replace("&quot;", '"').replace("&amp;", "&"))
    broken = [image for image in images if image["width"] <= 0]
    for image in images:
        print(f'{"ok  " if image["width"] > 0 else "FAIL"} {image["page"]}: {image["src"]} ({image["width"]} px)')
    if len(images) != 2 * IMAGES or broken:
        print(f"FAIL: {len(broken)} of {len(images)} images did not load (expected {2 * IMAGES})")
        return 1
    print(f"{len(images)} passed, 0 failed")
    return 0


if __name__ == "__main__":
    sys.exit(main())
