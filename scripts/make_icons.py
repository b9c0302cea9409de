# Draws the icon library of the person editor (data/appdir/icodat): person
# silhouettes as 32x32 32-bit ICO files.
#   python3 scripts/make_icons.py data/appdir/icodat
import struct, math, os, sys
out = sys.argv[1]
os.makedirs(out, exist_ok=True)
N = 32

def ico(pixels):
    # pixels: rows top to bottom of (r,g,b,a)
    xor = b''.join(struct.pack('BBBB', b, g, r, a) for row in reversed(pixels) for (r, g, b, a) in row)
    and_rows = b''.join(b'\x00' * 4 for _ in range(N))  # 32 bits per row, all opaque by alpha
    header = struct.pack('<IiiHHIIiiII', 40, N, N * 2, 1, 32, 0, len(xor) + len(and_rows), 0, 0, 0, 0)
    image = header + xor + and_rows
    return struct.pack('<HHH', 0, 1, 1) + struct.pack('<BBBBHHII', N, N, 0, 0, 1, 32, len(image), 22) + image

def inside_ellipse(x, y, cx, cy, rx, ry):
    return ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0

def person(skin, hair, clothes, long_hair, background):
    px = []
    for y in range(N):
        row = []
        for x in range(N):
            X, Y = x + 0.5, y + 0.5
            c = background
            if inside_ellipse(X, Y, 16, 13, 15.5, 15.5) and background[3] == 0:
                pass
            # shoulders
            if Y > 22 and inside_ellipse(X, Y, 16, 34, 13, 12):
                c = clothes
            # long hair behind the head
            if long_hair and inside_ellipse(X, Y, 16, 15, 9, 10) and Y > 8 and (abs(X - 16) > 4.5 or Y < 12):
                c = hair
            # head
            if inside_ellipse(X, Y, 16, 13, 6.5, 7.5):
                c = skin
            # hair on top
            if inside_ellipse(X, Y, 16, 10, 7.2, 5.5) and Y < 10.5:
                c = hair
            # eyes
            if (abs(X - 13.5) < 0.8 or abs(X - 18.5) < 0.8) and abs(Y - 13.5) < 0.8:
                c = (40, 40, 40, 255)
            row.append(c)
        px.append(row)
    return px

skins = [(250, 220, 190, 255), (235, 200, 165, 255)]
hairs = [(40, 30, 20, 255), (110, 80, 50, 255), (170, 170, 170, 255)]
clear = (0, 0, 0, 0)
men = [(60, 90, 170, 255), (40, 120, 80, 255), (90, 90, 90, 255), (150, 100, 50, 255)]
women = [(200, 70, 90, 255), (210, 120, 170, 255), (120, 80, 170, 255), (230, 150, 60, 255)]
n = 0
for i, clothes in enumerate(men):
    for j, hair in enumerate(hairs[:2] if i < 3 else hairs[2:]):
        n += 1
        open(os.path.join(out, 'man%02d.ico' % n), 'wb').write(ico(person(skins[(i + j) % 2], hair, clothes, False, clear)))
n = 0
for i, clothes in enumerate(women):
    for j, hair in enumerate(hairs[:2] if i < 3 else hairs[2:]):
        n += 1
        open(os.path.join(out, 'woman%02d.ico' % n), 'wb').write(ico(person(skins[(i + j + 1) % 2], hair, clothes, True, clear)))
print(sorted(os.listdir(out)))
