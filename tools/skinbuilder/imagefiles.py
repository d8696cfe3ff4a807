"""Writing and reading the two picture formats the skin uses: 24-bit BMP
(the skin's master image) and 8-bit RGBA PNG (the library's pictures and
the skin sheet).  Pure Python with zlib and struct, so the build needs
nothing beyond the interpreter."""

import itertools
import struct
import zlib

PNG_SIGNATURE = b"\x89PNG\r\n\x1a\n"


def write_file(path, data):
    """Writes data unless the file already holds exactly it, so that an
    unchanged output keeps its time and what is built from it stays built."""
    try:
        with open(path, "rb") as f:
            if f.read() == data:
                return
    except OSError:
        pass
    with open(path, "wb") as f:
        f.write(data)


def write_bmp24(path, width, height, rows):
    """rows[y][x] = (r, g, b), top row first; the file is bottom-up."""
    stride = (width * 3 + 3) & ~3
    pad = b"\0" * (stride - width * 3)
    body = bytearray()
    for y in range(height - 1, -1, -1):
        for r, g, b in rows[y]:
            body += bytes((b, g, r))
        body += pad
    header = struct.pack("<2sIHHI", b"BM", 54 + len(body), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body),
                       2835, 2835, 0, 0)
    write_file(path, header + info + bytes(body))


def read_bmp24(path):
    """Returns (width, height, rows) of an uncompressed 24-bit BMP."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:2] != b"BM" or len(data) < 54:
        raise ValueError(f"{path}: not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _planes, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if bits != 24 or compression != 0:
        raise ValueError(f"{path}: not an uncompressed 24-bit BMP")
    bottom_up = height > 0
    height = abs(height)
    stride = (width * 3 + 3) & ~3
    if offset + stride * height > len(data):
        raise ValueError(f"{path}: truncated pixel data")
    rows = []
    for y in range(height):
        line = offset + stride * ((height - 1 - y) if bottom_up else y)
        rows.append([(data[line + 3 * x + 2], data[line + 3 * x + 1], data[line + 3 * x])
                     for x in range(width)])
    return width, height, rows


def _chunk(kind, payload):
    body = kind + payload
    return struct.pack(">I", len(payload)) + body + struct.pack(">I", zlib.crc32(body))


def _encode_png(width, height, rows, colour_type):
    raw = bytearray()
    for row in rows:
        raw.append(0)
        raw += bytes(itertools.chain.from_iterable(row))
    ihdr = struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0)
    return (PNG_SIGNATURE + _chunk(b"IHDR", ihdr)
            + _chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + _chunk(b"IEND", b""))


def encode_png_rgba(width, height, rows):
    """rows[y][x] = (r, g, b, a); 8 bits per channel, no ancillary chunks."""
    return _encode_png(width, height, rows, 6)


def write_png_rgba(path, width, height, rows):
    write_file(path, encode_png_rgba(width, height, rows))


def write_png_rgb(path, width, height, rows):
    """rows[y][x] = (r, g, b): an opaque picture."""
    write_file(path, _encode_png(width, height, rows, 2))


def png_chunks(data):
    """The chunk types of a PNG file in order; raises on a damaged file."""
    if data[:8] != PNG_SIGNATURE:
        raise ValueError("no PNG signature")
    pos, kinds = 8, []
    while pos < len(data):
        if pos + 12 > len(data):
            raise ValueError("truncated chunk")
        length = struct.unpack_from(">I", data, pos)[0]
        kind = data[pos + 4:pos + 8]
        end = pos + 12 + length
        if end > len(data):
            raise ValueError("truncated chunk")
        if zlib.crc32(data[pos + 4:end - 4]) != struct.unpack_from(">I", data, end - 4)[0]:
            raise ValueError(f"bad CRC in {kind!r}")
        kinds.append((kind, data[pos + 8:end - 4]))
        pos = end
        if kind == b"IEND":
            break
    return kinds


def _paeth(a, b, c):
    p = a + b - c
    pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
    if pa <= pb and pa <= pc:
        return a
    return b if pb <= pc else c


def decode_png_rgba(data):
    """Decodes an 8-bit RGBA, non-interlaced PNG: (width, height, rows, chunk types)."""
    chunks = png_chunks(data)
    if not chunks or chunks[0][0] != b"IHDR":
        raise ValueError("IHDR must come first")
    width, height, depth, ctype, _comp, _filt, interlace = struct.unpack(">IIBBBBB", chunks[0][1])
    if (depth, ctype, interlace) != (8, 6, 0):
        raise ValueError("not 8-bit RGBA without interlace")
    raw = zlib.decompress(b"".join(p for k, p in chunks if k == b"IDAT"))
    stride = width * 4
    if len(raw) != (stride + 1) * height:
        raise ValueError("image data has the wrong size")
    rows, prev = [], bytearray(stride)
    for y in range(height):
        ftype = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = line[i - 4] if i >= 4 else 0
            b = prev[i]
            c = prev[i - 4] if i >= 4 else 0
            if ftype == 1:
                line[i] = (line[i] + a) & 255
            elif ftype == 2:
                line[i] = (line[i] + b) & 255
            elif ftype == 3:
                line[i] = (line[i] + (a + b) // 2) & 255
            elif ftype == 4:
                line[i] = (line[i] + _paeth(a, b, c)) & 255
            elif ftype != 0:
                raise ValueError(f"unknown filter {ftype}")
        rows.append([tuple(line[4 * x:4 * x + 4]) for x in range(width)])
        prev = line
    return width, height, rows, [k for k, _ in chunks]
