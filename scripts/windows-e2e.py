#!/usr/bin/env python3
"""Plays the game end to end through X: finds its window, clicks its buttons
and tiles with xdotool, reads the window's own pixels from the X server and
solves level 1 from what it sees. scripts/windows-e2e.sh sets up the display, the
Wine prefix and the game folders and calls this.

  windows-e2e.py play GAMEDIR PLAYER -- COMMAND...   the full game, checked
  windows-e2e.py capture GAMEDIR OUT.ppm -- COMMAND... the start screen of level 1
  windows-e2e.py depth GAMEDIR -- COMMAND...          the message on a 24-bit screen
  windows-e2e.py same-table A.dat B.dat              hiscore.dat alike but the score
  windows-e2e.py compare A.ppm B.ppm WxH             5-6-5 difference outside the board
"""
import ctypes, heapq, os, struct, subprocess, sys, time

W, H = 800, 600
BOARD = (190, 80, 600, 490)               # changes with the deal
PICK = {1: 0, 3: 2, 4: 3}                 # level 1's tile numbers -> tileset frames
LEVEL1 = [1] * 25
LEVEL1[6], LEVEL1[8] = 3, 4
POCKETS = {25: (356, 6), 26: (116, 246), 27: (596, 246), 28: (356, 486)}
failures = []


def check(ok, what, actual="", expected=""):
    print(("ok    " if ok else "FAIL  ") + what +
          ("" if ok else f": actual {actual!r}, expected {expected!r}"), flush=True)
    if not ok:
        failures.append(what)
    return ok


def run(*args):
    return subprocess.run(args, capture_output=True, text=True).stdout.strip()


def cell_xy(i):
    return POCKETS[i] if i >= 25 else ((i % 5) * 80 + 196, (i // 5) * 80 + 86)


def neighbours(i):
    """The grid's links, pockets included, as the board's FindMoves sees them."""
    pocket_of = {2: 25, 10: 26, 14: 27, 22: 28}
    if i >= 25:
        return [{25: 2, 26: 10, 27: 14, 28: 22}[i]]
    r, c = divmod(i, 5)
    out = [i - 1] if c > 0 else []
    out += [i + 1] if c < 4 else []
    out += [i - 5] if r > 0 else []
    out += [i + 5] if r < 4 else []
    return out + ([pocket_of[i]] if i in pocket_of else [])


def read_ppm(data):
    """(width, height, bytes) of a binary P6 picture with maxval 255."""
    parts, pos = [], 0
    while len(parts) < 4:
        while data[pos:pos + 1].isspace():
            pos += 1
        if data[pos:pos + 1] == b"#":
            pos = data.index(b"\n", pos)
            continue
        end = pos
        while not data[end:end + 1].isspace():
            end += 1
        parts.append(data[pos:end])
        pos = end
    return int(parts[1]), int(parts[2]), data[pos + 1:]


class Picture:
    def __init__(self, w, h, rgb):
        self.w, self.h, self.rgb = w, h, rgb

    @staticmethod
    def load(path):
        data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], capture_output=True, check=True).stdout
        return Picture(*read_ppm(data))

    @staticmethod
    def of_window(window_id, w, h):
        """The window's pixels as the X server holds them. ImageMagick's
        import widens 5-6-5 pixels differently from one window to the next
        (the same red 2 read as 16 from one program and 24 from another), so
        the 16-bit values are read raw and widened here the one way."""
        raw = x_window_pixels(int(window_id), w, h)
        rgb = bytearray(3 * w * h)
        for i, (p,) in enumerate(struct.iter_unpack("<H", raw)):
            r, g, b = p >> 11, (p >> 5) & 63, p & 31
            rgb[3 * i:3 * i + 3] = (r << 3 | r >> 2, g << 2 | g >> 4, b << 3 | b >> 2)
        return Picture(w, h, bytes(rgb))

    def pixel565(self, x, y):
        o = 3 * (y * self.w + x)
        r, g, b = self.rgb[o:o + 3]
        return (r >> 3, g >> 2, b >> 3)

    def crop(self, x0, y0, w, h):
        return [self.pixel565(x0 + x, y0 + y) for y in range(h) for x in range(w)]


class XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_uint8)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int)]


def x_window_pixels(window_id, w, h):
    """w x h 16-bit little-endian pixels of a window on a 16-bit screen, rows packed."""
    x11 = ctypes.cdll.LoadLibrary("libX11.so.6")
    x11.XOpenDisplay.restype = ctypes.c_void_p
    x11.XOpenDisplay.argtypes = [ctypes.c_char_p]
    x11.XGetImage.restype = ctypes.POINTER(XImage)
    x11.XGetImage.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_int, ctypes.c_int,
                              ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
    x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
    x11.XFree.argtypes = [ctypes.c_void_p]
    display = x11.XOpenDisplay(None)
    handle = x11.XGetImage(display, window_id, 0, 0, w, h, 0xFFFFFFFF, 2)  # ZPixmap
    image = handle.contents
    depth, line = image.bits_per_pixel, image.bytes_per_line
    data = ctypes.string_at(image.data, line * h) if depth == 16 else b""
    x11.XFree(ctypes.cast(image.data, ctypes.c_void_p))
    x11.XFree(ctypes.cast(handle, ctypes.c_void_p))
    x11.XCloseDisplay(display)
    if depth != 16:
        sys.exit(f"the screen has {depth} bits per pixel; the end-to-end run needs 16")
    return b"".join(data[y * line:y * line + 2 * w] for y in range(h))


def distance(a, b):
    return sum(abs(p[0] - q[0]) + abs(p[1] - q[1]) + abs(p[2] - q[2]) for p, q in zip(a, b))


class Window:
    """The game's top-level X window; clicks and pictures in client coordinates."""
    def __init__(self, proc, timeout=60):
        self.proc, self.id = proc, ""
        end = time.time() + timeout
        while time.time() < end and proc.poll() is None and not self.id:
            ids = run("xdotool", "search", "--onlyvisible", "--name", "^Gloom Grid").split()
            self.id = ids[-1] if ids else ""
            time.sleep(0.5)
        if not self.id:
            return
        time.sleep(1.5)  # the first frames
        geo = dict(l.strip().split("=") for l in run("xdotool", "getwindowgeometry", "--shell", self.id).splitlines())
        w, h = int(geo["WIDTH"]), int(geo["HEIGHT"])
        # Without a window manager the X window is the client area: an
        # 800 x 600 window with a caption and a frame leaves 794 x 575 of it,
        # as on Windows. A window manager would add its frame outside.
        self.w, self.h = min(w, W), min(h, H)
        self.dx, self.dy = 0, 0
        print(f"      window {self.id}: {w}x{h}")

    def title(self):
        return run("xdotool", "getwindowname", self.id)

    def click(self, x, y, hold=0.08, after=0.15):
        # The game polls the buttons every 10 ms: the press must outlast a frame.
        run("xdotool", "mousemove", "--window", self.id, str(x + self.dx), str(y + self.dy))
        time.sleep(0.05)
        run("xdotool", "mousedown", "1")
        time.sleep(hold)
        run("xdotool", "mouseup", "1")
        time.sleep(after)

    def hover(self, x, y):
        run("xdotool", "mousemove", "--window", self.id, str(x + self.dx), str(y + self.dy))

    def picture(self):
        """The client area on an 800 x 600 canvas; what the window cuts off is black."""
        full = Picture.of_window(self.id, self.w, self.h)
        rows = [full.rgb[3 * y * full.w:3 * (y + 1) * full.w] + bytes(3 * (W - self.w)) if y < self.h
                else bytes(3 * W) for y in range(H)]
        return Picture(W, H, b"".join(rows))

    def wait_exit(self, timeout):
        try:
            return self.proc.wait(timeout)
        except subprocess.TimeoutExpired:
            return None


def read_board(pic, tileset):
    """Tile number of each grid cell, by the nearest tileset frame."""
    per_row = tileset.w // 86
    frames = {n: tileset.crop((f % per_row) * 86 + 4, (f // per_row) * 97 + 4, 72, 72)
              for n, f in PICK.items()}
    board = []
    for i in range(25):
        x, y = cell_xy(i)
        seen = pic.crop(x + 4, y + 4, 72, 72)
        board.append(min(frames, key=lambda n: distance(seen, frames[n])))
    return board


def move(win, holes, src, dst):
    """A tile with one free neighbour slides at once; otherwise it is picked
    and the arrowed destination clicked."""
    free = [n for n in neighbours(src) if n in holes]
    x, y = cell_xy(src)
    win.click(x + 40, y + 40)
    if len(free) > 1:
        x, y = cell_xy(dst)
        win.click(x + 40, y + 40)
    holes.discard(dst)
    holes.add(src)


def pocket_changed(before, after):
    x, y = POCKETS[25]
    return distance(before.crop(x, y, 80, 80), after.crop(x, y, 80, 80)) > 0


def launch(gamedir, command):
    """Starts the program; its standard error goes to a log shown on failure."""
    log = open(os.path.join(gamedir, "..", "stderr.log"), "ab")
    return subprocess.Popen(command, cwd=gamedir, stderr=log)


def play(gamedir, player, command):
    proc = launch(gamedir, command)
    win = Window(proc)
    if not check(bool(win.id), f"the window opens ({command[0]})"):
        proc.kill()
        return
    check(win.title() == f"Gloom Grid - {player}", "the title names the player", win.title(), f"Gloom Grid - {player}")
    tileset = Picture.load(os.path.join(gamedir, "tileset.bmp"))
    win.click(142, 476)  # newgame
    time.sleep(0.3)
    before = win.picture()
    board = read_board(before, tileset)
    check(sorted(board) == sorted(LEVEL1), "the board holds level 1's tiles", board, "23 x 1, one 3, one 4")
    holes = {25, 26, 27, 28}
    move(win, holes, 2, 25)
    time.sleep(0.3)
    after = win.picture()
    check(pocket_changed(before, after), "cell 2 slides into the top pocket")
    win.click(142, 537)  # info
    time.sleep(0.5)
    check(distance(after.crop(0, 0, W, H), win.picture().crop(0, 0, W, H)) > 0, "info shows the how-to-play popup")
    win.click(400, 300)  # closes it
    time.sleep(0.5)
    # The board as seen now, the top pocket holding what cell 2 held.
    board = read_board(win.picture(), tileset)
    board[2] = read_board(before, tileset)[2]
    where = {t: ([25] if board[2] == t else []) + [i for i, n in enumerate(board) if n == t and i != 2] for t in (3, 4)}
    moves = plan((where[3][0], where[4][0], (2, 26, 27, 28))) if len(where[3]) == len(where[4]) == 1 else None
    check(moves is not None, "a plan solves level 1", None, "moves")
    for src, dst in moves or []:
        move(win, holes, src, dst)
    print(f"      {len(moves or [])} moves played", flush=True)
    hiscore = os.path.join(gamedir, "hiscore.dat")
    end = time.time() + 30  # 1.5 s wait, 6 s round-complete, 1 s notice
    while time.time() < end and not os.path.exists(hiscore):
        time.sleep(0.5)
    time.sleep(2)
    check_hiscore(hiscore, player)
    win.click(50, 537)  # exit
    code = win.wait_exit(30)
    check(code == 0, "exit ends the program with code 0", code, 0)
    if code is None:
        proc.kill()
    # Music and effects are switched on: without a sound card they must fail quietly.
    log = open(os.path.join(gamedir, "..", "stderr.log"), "rb").read().decode("latin-1")
    crash = [l for l in log.splitlines() if "Unhandled exception" in l or "page fault" in l]
    check(not crash, "no crash reported on standard error", crash[:2], [])


def distances():
    """Steps between any two cells over the links (breadth first)."""
    dist = {}
    for s in range(29):
        d, todo = {s: 0}, [s]
        for u in todo:
            for v in neighbours(u):
                if v not in d:
                    d[v] = d[u] + 1
                    todo.append(v)
        dist[s] = d
    return dist


def plan(start):
    """Moves (from, to) from start = (cell of tile 3, cell of tile 4, holes)
    that bring both home and the holes back to the pockets: weighted A*."""
    dist, goal = distances(), (6, 8, (25, 26, 27, 28))

    def h(s):
        return 3 * (dist[s[0]][6] + dist[s[1]][8]) + sum(min(dist[e][p] for p in goal[2]) for e in s[2])

    seen, heap = {start: None}, [(h(start), 0, start)]
    while heap:
        _, g, s = heapq.heappop(heap)
        if s == goal:
            path = []
            while seen[s]:
                s, mv = seen[s]
                path.append(mv)
            return path[::-1]
        a, b, holes = s
        for e in holes:
            for src in neighbours(e):
                if src in holes:
                    continue
                n = (e if src == a else a, e if src == b else b,
                     tuple(sorted([x for x in holes if x != e] + [src])))
                if n not in seen:
                    seen[n] = (s, (src, e))
                    heapq.heappush(heap, (g + 1 + h(n), g + 1, n))
    return None


def check_hiscore(path, player):
    data = open(path, "rb").read() if os.path.exists(path) else b""
    if not check(len(data) == 5204, "hiscore.dat is written, 5204 bytes", len(data), 5204):
        return
    count, = struct.unpack_from("<i", data, 0)
    text = data[4:260].split(b"\0")[0].decode("latin-1")
    score, = struct.unpack_from("<i", data, 260)
    check(count == 20, "hiscore.dat holds 20 entries", count, 20)
    check(text == f"{player}:::Y", "entry 0 is the player's record", text, f"{player}:::Y")
    check(score >= 10000 and score % 100 == 0, "entry 0 scores level 1 plus its time bonus", score, "10000 + 100 x seconds")
    rest = struct.unpack_from("<i", data, 260 + 260)[0]
    check(rest == 0, "the rest of the table stays empty", rest, 0)
    print(f"      hiscore.dat: {text!r} {score}")


def same_table(a_path, b_path):
    """Two hiscore.dat files from one play each: the same bytes but the score."""
    a, b = (open(p, "rb").read() if os.path.exists(p) else b"" for p in (a_path, b_path))
    differ = [i for i in range(max(len(a), len(b))) if a[i:i + 1] != b[i:i + 1] and not 260 <= i < 264]
    check(len(a) == len(b) == 5204 and not differ, "both builds write the same table but the score",
          f"{len(a)} and {len(b)} bytes, differing at {differ[:8]}", "5204 bytes alike")


def capture(gamedir, out, command):
    proc = launch(gamedir, command)
    win = Window(proc)
    if check(bool(win.id), f"the window opens ({command[0]})"):
        win.hover(142, 476)  # over newgame: the button stops blinking
        time.sleep(1.0)
        print(f"      client area {win.w}x{win.h}")
        with open(out + ".size", "w") as f:
            f.write(f"{win.w}x{win.h}")
        pic = win.picture()
        with open(out, "wb") as f:
            f.write(b"P6\n%d %d\n255\n" % (W, H) + pic.rgb)
        print(f"      {out} captured")
        win.click(50, 537)  # exit
        check(win.wait_exit(30) == 0, f"exit ends it ({command[0]})")
    proc.poll() is None and proc.kill()


def depth_message(gamedir, command):
    """On a 24-bit screen the program refuses with a message box (no caption
    given: Windows titles it "Error"), and Return on its OK ends it with 1."""
    proc = subprocess.Popen(command, cwd=gamedir, stderr=subprocess.DEVNULL)
    ids, end = [], time.time() + 60
    while time.time() < end and proc.poll() is None and not ids:
        ids = run("xdotool", "search", "--onlyvisible", "--name", "^Error$").split()
        time.sleep(0.5)
    check(bool(ids), "a 24-bit screen gets the High Color message box")
    if ids:
        time.sleep(1)
        run("xdotool", "windowfocus", "--sync", ids[-1])
        run("xdotool", "key", "Return")
    code = None
    try:
        code = proc.wait(30)
    except subprocess.TimeoutExpired:
        proc.kill()
    check(code == 1, "it ends with exit code 1 (a refusal is a failure)", code, 1)


def compare(a_path, b_path, size):
    """Pixels that differ in 5-6-5 inside the area both windows show and outside
    the board, grouped into rectangles of touching 16-pixel squares."""
    a, b = Picture.load(a_path), Picture.load(b_path)
    w, h = (int(v) for v in size.split("x"))
    outside = [(x, y) for y in range(h) for x in range(w) if not (BOARD[0] <= x < BOARD[2] and BOARD[1] <= y < BOARD[3])]
    squares = {}
    for x, y in outside:
        if a.pixel565(x, y) != b.pixel565(x, y):
            squares.setdefault((x // 16, y // 16), []).append((x, y))
    total = sum(len(v) for v in squares.values())
    print(f"      {len(outside)} pixels outside the board in the {w}x{h} both show, {total} differ")
    while squares:
        todo, group = [next(iter(squares))], []
        while todo:
            sq = todo.pop()
            if sq in squares:
                group += squares.pop(sq)
                todo += [(sq[0] + dx, sq[1] + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)]
        xs, ys = [p[0] for p in group], [p[1] for p in group]
        x, y = group[len(group) // 2]
        print(f"      x {min(xs)}..{max(xs)} y {min(ys)}..{max(ys)}: {len(group)} pixels,"
              f" e.g. ({x},{y}) {a.pixel565(x, y)} vs {b.pixel565(x, y)}")
    check(total == 0, "the start screens match outside the board, pixel for pixel in 5-6-5", total, 0)


if __name__ == "__main__":
    mode, args = sys.argv[1], sys.argv[2:]
    cmd = args[args.index("--") + 1:] if "--" in args else []
    if mode == "play":
        play(args[0], args[1], cmd)
    elif mode == "capture":
        capture(args[0], args[1], cmd)
    elif mode == "depth":
        depth_message(args[0], cmd)
    elif mode == "same-table":
        same_table(args[0], args[1])
    elif mode == "compare":
        compare(args[0], args[1], args[2])
    sys.exit(1 if failures else 0)
