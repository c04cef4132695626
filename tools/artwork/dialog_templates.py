"""The two dialog templates of Purgix.exe as data: what the built program must carry, and where controls land."""

WS_POPUP, WS_CHILD, WS_VISIBLE = 0x80000000, 0x40000000, 0x10000000
WS_CAPTION, WS_BORDER, WS_DLGFRAME = 0x00C00000, 0x00800000, 0x00400000
WS_VSCROLL, WS_HSCROLL, WS_SYSMENU = 0x00200000, 0x00100000, 0x00080000
WS_GROUP, WS_TABSTOP = 0x00020000, 0x00010000
DS_MODALFRAME, DS_SETFONT = 0x80, 0x40
BS_GROUPBOX, BS_OWNERDRAW, BS_FLAT = 0x7, 0xB, 0x8000
SS_LEFT, SS_CENTER, SS_BITMAP = 0x0, 0x1, 0xE
LBS_USETABSTOPS, LBS_NOINTEGRALHEIGHT = 0x80, 0x100
WS_EX_TRANSPARENT = 0x20

BUTTON, STATIC, LISTBOX = 0x80, 0x82, 0x83   # predefined class atoms in a template

OWNERDRAW = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW
OWNERDRAW_HIDDEN = WS_CHILD | WS_TABSTOP | BS_OWNERDRAW
GROUPBOX = WS_CHILD | WS_VISIBLE | BS_GROUPBOX | BS_FLAT
LEFT_TEXT = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT
CENTRED_TEXT = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_CENTER
RESULT_LIST = (WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL
               | LBS_USETABSTOPS | LBS_NOINTEGRALHEIGHT)


class Control:
    def __init__(self, id, cls, caption, x, y, cx, cy, style, exstyle=0):
        self.id, self.cls, self.caption = id, cls, caption
        self.x, self.y, self.cx, self.cy = x, y, cx, cy
        self.style, self.exstyle = style, exstyle


class Template:
    def __init__(self, id, extended, style, size, title, font, controls):
        self.id, self.extended, self.style = id, extended, style
        self.size, self.title, self.font = size, title, font   # font: (points, face, weight, italic, charset)
        self.controls = controls


MAIN = Template(141, True, WS_POPUP | WS_BORDER | DS_SETFONT, (349, 209), "",
                (8, "MS Sans Serif", 400, 0, 1), [
    Control(1070, BUTTON, "OK", 128, 177, 50, 14, OWNERDRAW),
    Control(2, BUTTON, "CANCEL", 128, 177, 50, 14, OWNERDRAW),
    Control(1052, BUTTON, "SCAN", 11, 40, 76, 16, OWNERDRAW),
    Control(1053, BUTTON, "DOWNLOAD", 189, 40, 97, 16, OWNERDRAW),
    Control(1054, BUTTON, "X", 290, 3, 10, 10, OWNERDRAW),
    Control(1064, BUTTON, "", 16, 81, 276, 29, GROUPBOX),
    Control(1065, STATIC, "Static", 18, 93, 264, 11, LEFT_TEXT),
    Control(1076, STATIC, "Searching For", 16, 70, 268, 11, LEFT_TEXT),
    Control(1068, STATIC, None, 31, 25, 244, 11, CENTRED_TEXT),
    Control(1075, STATIC, "Wardex Installed String", 6, 136, 292, 10, CENTRED_TEXT),
    Control(1072, STATIC, None, 6, 103, 292, 11, CENTRED_TEXT),
    Control(1074, STATIC, "Static", 9, 71, 290, 14, CENTRED_TEXT),
    Control(1077, BUTTON, "DLINK", 61, 133, 85, 7, OWNERDRAW),
    Control(1080, BUTTON, "ULINK", 32, 177, 54, 6, OWNERDRAW),
    Control(1085, BUTTON, "TARNWELLLOGO", 241, 174, 38, 10, OWNERDRAW),
    Control(1034, BUTTON, "", 16, 111, 276, 58, GROUPBOX),
    Control(1055, LISTBOX, "", 17, 117, 273, 51, RESULT_LIST, WS_EX_TRANSPARENT),
])

MESSAGE = Template(142, False,
                   WS_POPUP | WS_BORDER | WS_DLGFRAME | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT,
                   (187, 54), "Dialog", (8, "MS Sans Serif", None, None, None), [
    Control(1, BUTTON, "OK", 24, 38, 50, 14, OWNERDRAW_HIDDEN),
    Control(2, BUTTON, "Cancel", 102, 38, 50, 14, OWNERDRAW_HIDDEN),
    Control(1085, STATIC, "", 15, 0, 25, 24, WS_CHILD | WS_VISIBLE | SS_BITMAP),
    Control(1086, STATIC, " Are you sure you want to continue ", 49, 5, 135, 19, LEFT_TEXT),
    Control(3, BUTTON, "OK", 63, 38, 50, 14, OWNERDRAW),
    Control(6, BUTTON, "YES", 24, 26, 50, 14, OWNERDRAW_HIDDEN),
    Control(7, BUTTON, "NO", 100, 26, 50, 14, OWNERDRAW_HIDDEN),
])

# Dialog base units of 8-point MS Sans Serif at 96 dpi, and the main window's design size.
BASE_X, BASE_Y = 6, 13
DESIGN_SIZE = (600, 337)


def main_window_rects():
    """Client-area rectangles {id: (left, top, right, bottom)} of the main window's controls after the
    window has rescaled its children to the design size; bitmap buttons keep only their top-left."""
    client_w = (MAIN.size[0] * BASE_X + 2) // 4
    client_h = (MAIN.size[1] * BASE_Y + 4) // 8
    fx, fy = client_w / DESIGN_SIZE[0], client_h / DESIGN_SIZE[1]
    rects = {}
    for c in MAIN.controls:
        # Screen coordinates with the window at the origin: the thin border puts the client at (1, 1).
        l = 1 + (c.x * BASE_X + 2) // 4
        t = 1 + (c.y * BASE_Y + 4) // 8
        r = l + (c.cx * BASE_X + 2) // 4
        b = t + (c.cy * BASE_Y + 4) // 8
        nl, nt, nr, nb = int(l / fx), int(t / fy), int(r / fx), int(b / fy)
        rects[c.id] = (nl - 1, nt - 1, nr - 1, nb - 1)
    return rects
