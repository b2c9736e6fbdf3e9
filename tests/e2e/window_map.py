"""Where the learner finds each control: the design rectangles of the trainer's window.

Rectangles are x, y, width, height in pixels of the window's client area (below the menu bar),
as the window was designed. A control inside a panel is placed relative to its panel, so its
panel is named and the offsets are added up here, not in the scenarios.

This table is written down from the window's design, not read from the program: a control that
the program puts somewhere else is missed by the clicks, and the scenario that needs it fails.
"""

CLIENT_WIDTH = 445
CLIENT_HEIGHT = 387

# name: (panel or None, x, y, width, height)
CONTROLS = {
    # Panels.
    "Frame1": (None, 16, 56, 305, 289),
    "Frame2": (None, 16, 56, 305, 281),
    "Frame3": (None, 48, 104, 241, 193),
    "Frame4": ("Frame2", 64, 96, 193, 113),
    # Directly on the window.
    "Label3": (None, 64, 8, 369, 49),
    "Image1": (None, 16, 72, 305, 241),
    "Check2": (None, 328, 56, 105, 17),
    "Command2": (None, 328, 72, 105, 25),     # Rawak/Random
    "Command4": (None, 328, 100, 49, 33),     # Taip teks
    "Command13": (None, 384, 100, 49, 33),    # Buka Fail
    "Command7": (None, 328, 136, 49, 25),     # Nada +
    "Command8": (None, 384, 136, 49, 25),     # Nada -
    "Command10": (None, 328, 165, 49, 25),    # Laju +
    "Command9": (None, 384, 165, 49, 25),     # Laju -
    "Command12": (None, 328, 192, 105, 25),   # Random Words
    "Command18": (None, 328, 220, 105, 25),   # Hilangkan Teks
    "Command11": (None, 328, 248, 105, 25),   # Tamat / End
    "Image2": (None, 328, 280, 105, 81),
    "Label8": (None, 16, 344, 49, 17),
    "HScroll1": (None, 64, 352, 185, 9),
    "Label6": (None, 280, 352, 65, 17),       # delay limit, white
    "Label7": (None, 280, 368, 65, 17),       # dash length, yellow
    "Label5": (None, 0, 368, 41, 17),
    "Label4": (None, 48, 368, 225, 17),
    "Check1": (None, 344, 368, 17, 17),
    "Label9": (None, 360, 368, 49, 17),       # "Fun tone", orange
    "Text7": (None, 408, 368, 33, 19),
    # Random groups panel.
    "Option1": ("Frame1", 232, 8, 57, 17),
    "Option2": ("Frame1", 232, 24, 57, 17),
    "Option3": ("Frame1", 232, 40, 65, 17),
    "Option6": ("Frame1", 8, 48, 49, 17),
    "Option7": ("Frame1", 64, 48, 49, 17),
    "Option8": ("Frame1", 120, 48, 49, 17),
    "Option9": ("Frame1", 176, 48, 49, 17),
    "Text2": ("Frame1", 72, 16, 41, 25),      # characters per group
    "Text3": ("Frame1", 184, 16, 41, 25),     # number of groups
    "Command3": ("Frame1", 8, 72, 281, 25),   # Go rawak/random
    "command1": ("Frame1", 8, 104, 281, 153),  # the groups played
    "Command21": ("Frame1", 8, 264, 281, 23),  # Stop / Jalan
    # Text panel.
    "rtf": ("Frame2", 8, 16, 289, 153),
    "Command6": ("Frame2", 8, 176, 289, 67),
    "Command5": ("Frame2", 8, 248, 73, 25),   # Go morse
    "Command19": ("Frame2", 88, 248, 49, 25),  # Stop
    "Command20": ("Frame2", 144, 248, 73, 25),  # Pause
    "Command15": ("Frame2", 224, 248, 73, 25),  # Simpan Fail
    # Save panel.
    "Text1": ("Frame4", 8, 16, 177, 25),
    "Command16": ("Frame4", 32, 48, 129, 25),  # OK Simpan
    "Command17": ("Frame4", 32, 80, 129, 25),  # Batal
    # Open-file panel.
    "File1": ("Frame3", 16, 24, 209, 123),
    "Command14": ("Frame3", 152, 160, 65, 25),  # BATAL
}


def rect(name):
    """The control's rectangle in client-area pixels, panel offsets included."""
    parent, x, y, w, h = CONTROLS[name]
    while parent is not None:
        parent, px, py, _, _ = CONTROLS[parent]
        x, y = x + px, y + py
    return x, y, w, h


def centre(name):
    x, y, w, h = rect(name)
    return x + w // 2, y + h // 2
