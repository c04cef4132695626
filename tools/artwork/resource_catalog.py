"""Every bitmap and the icon Purgix.exe carries: names, files, sizes, depths and the colours they share with the code."""

LIGHT_BLUE = (207, 233, 254)   # dialog background brush; backdrop of pictures, big buttons, links and logo
BAND_BLUE = (2, 77, 246)       # title band of the background; text band of the painted label
FORBIDDEN_GREYS = ((128, 128, 128), (192, 192, 192), (223, 223, 223))  # remapped by LR_LOADMAP3DCOLORS
REGION_KEY = (255, 0, 255)     # the window region cuts this colour out of the background

BACKGROUND_SIZE = (527, 338)
BACKGROUND_PALETTE = 255
ICON_SIZE = 48


class Bitmap:
    def __init__(self, name, file, size, bits, backdrop=None, palette=None):
        self.name = name            # resource name (upper case) or number
        self.file = file            # under res/bitmaps/
        self.size = size
        self.bits = bits
        self.backdrop = backdrop    # colour of the four corners, when it is a shared one
        self.palette = palette      # exact colour-table length, when it is fixed


def _pair(caption, size, bits, backdrop):
    lower = caption.lower()
    return [Bitmap(caption + "_FOCUS", lower + "_focus.bmp", size, bits, backdrop),
            Bitmap(caption + "_NOTFOCUS", lower + "_notfocus.bmp", size, bits, backdrop)]


NAMED = (
    _pair("CANCEL", (92, 24), 8, LIGHT_BLUE)
    + _pair("OK", (92, 24), 8, LIGHT_BLUE)
    + _pair("YES", (92, 24), 8, LIGHT_BLUE)
    + _pair("NO", (92, 24), 8, LIGHT_BLUE)
    + _pair("SCAN", (180, 33), 8, LIGHT_BLUE)
    + [Bitmap("SCAN_DISABLE", "scan_disable.bmp", (180, 33), 4, LIGHT_BLUE)]
    + _pair("DOWNLOAD", (180, 33), 8, LIGHT_BLUE)
    + [Bitmap("DOWNLOAD_DISABLE", "download_disable.bmp", (180, 33), 4, LIGHT_BLUE)]
    + _pair("X", (21, 21), 8, BAND_BLUE)
    + _pair("DLINK", (350, 43), 24, (255, 255, 255))
    + _pair("ULINK", (350, 28), 24, LIGHT_BLUE)
    + _pair("TARNWELLLOGO", (100, 36), 24, LIGHT_BLUE)
)

NUMBERED = [
    Bitmap(152, "picture_info.bmp", (42, 40), 24, LIGHT_BLUE),
    Bitmap(153, "picture_question.bmp", (42, 40), 24, LIGHT_BLUE),
    Bitmap(154, "picture_warning.bmp", (42, 40), 24, LIGHT_BLUE),
    Bitmap(155, "picture_error.bmp", (42, 40), 24, LIGHT_BLUE),
    Bitmap(156, "background.bmp", BACKGROUND_SIZE, 8, None, BACKGROUND_PALETTE),
]

ALL = NAMED + NUMBERED


def by_name(name):
    for b in ALL:
        if b.name == name:
            return b
    raise KeyError(name)
