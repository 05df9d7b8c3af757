/*
 * The resource set of one language, as plain C data.
 *
 * The program carries the Japanese set; a language library is a shared
 * library that holds one set and exports one C entry point returning it
 * (SORVANE_RES_ENTRY_POINT). The library needs nothing but the plain C
 * headers and data of this folder: it links against nothing of the program.
 *
 * Texts are UTF-8. A command's string is its status-bar prompt, a line
 * break, and its tooltip. Menu captions keep the mnemonic "&" and the
 * accelerator text after a tab, as the menus show them.
 */
#ifndef SORVANE_RES_RESOURCE_SET_H
#define SORVANE_RES_RESOURCE_SET_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

/* Layout version of these structures; a set of another format is refused. */
#define SORVANE_RES_FORMAT 1u
/* Name of the function a language library exports. */
#define SORVANE_RES_ENTRY_POINT "SorvaneGetResourceSet"

typedef struct SorvaneResVersion {
    uint16_t major;
    uint16_t minor;
    uint16_t build;
    uint16_t revision;
} SorvaneResVersion;

typedef struct SorvaneResString {
    uint32_t id;
    const char* text;
} SorvaneResString;

/* ---- Menus -------------------------------------------------------------- */

enum SorvaneResMenuKind {
    SORVANE_MENU_COMMAND = 0,
    SORVANE_MENU_POPUP = 1,
    SORVANE_MENU_SEPARATOR = 2
};

typedef struct SorvaneResMenuItem {
    uint32_t kind;                          /* SorvaneResMenuKind */
    uint32_t id;                            /* command of a command item, else 0 */
    const char* text;                       /* caption; null for a separator */
    const struct SorvaneResMenuItem* items; /* a popup's items */
    uint32_t itemCount;
} SorvaneResMenuItem;

/* A menu is a list of popups: the bar of a frame menu, or one popup (usually
 * named "Menu") for a context menu. */
typedef struct SorvaneResMenu {
    uint32_t id;
    const SorvaneResMenuItem* items;
    uint32_t itemCount;
} SorvaneResMenu;

/* ---- Dialogs ------------------------------------------------------------ */

enum SorvaneResControlKind {
    SORVANE_CONTROL_LABEL = 0,
    SORVANE_CONTROL_BUTTON = 1,
    SORVANE_CONTROL_DEFAULT_BUTTON = 2,
    SORVANE_CONTROL_CHECKBOX = 3,
    SORVANE_CONTROL_RADIO = 4,
    SORVANE_CONTROL_GROUPBOX = 5,
    SORVANE_CONTROL_EDIT = 6,
    SORVANE_CONTROL_COMBO = 7,
    SORVANE_CONTROL_SPIN = 8,
    SORVANE_CONTROL_LIST = 9,
    SORVANE_CONTROL_PICTURE = 10,
    SORVANE_CONTROL_CUSTOM = 11, /* a control of the window class named */
    SORVANE_CONTROL_LINK = 12
};

typedef struct SorvaneResControl {
    uint32_t id;
    uint32_t kind;         /* SorvaneResControlKind */
    const char* text;      /* may be null: no text */
    const char* className; /* window class of a custom control, else null */
    int16_t x, y, cx, cy;  /* dialog units; all 0 where the code lays it out */
    uint32_t image;        /* the bitmap a picture control shows, else 0 */
    const char* data;      /* initialisation data (a link's target), else null */
} SorvaneResControl;

typedef struct SorvaneResDialog {
    uint32_t id;
    const char* caption;
    const char* fontFace;
    uint16_t fontSize; /* points */
    int16_t cx, cy;    /* dialog units; 0 where the code lays it out */
    const SorvaneResControl* controls;
    uint32_t controlCount;
} SorvaneResDialog;

/* ---- Toolbars and accelerators ------------------------------------------ */

typedef struct SorvaneResToolbar {
    uint32_t id;
    uint16_t buttonWidth;
    uint16_t buttonHeight;
    const uint32_t* buttons; /* command ids in order, 0 = separator */
    uint32_t buttonCount;
    uint32_t bitmap;         /* button strip: one cell per non-separator button */
    uint32_t disabledBitmap; /* disabled strip, 0 = derived from the normal one */
} SorvaneResToolbar;

typedef struct SorvaneResAccel {
    const char* key; /* portable key text: "Ctrl+D", "Shift+F2", "F10" */
    uint32_t command;
} SorvaneResAccel;

typedef struct SorvaneResAccelTable {
    uint32_t id;
    const SorvaneResAccel* entries;
    uint32_t entryCount;
} SorvaneResAccelTable;

/* ---- Images --------------------------------------------------------------
 * An image is drawn from shapes on its design grid (cellWidth x cellHeight
 * pixels at scale 1) and rendered at any device-pixel ratio, or given as PNG.
 */

enum SorvaneResShapeKind {
    SORVANE_SHAPE_PATH = 0,   /* path data in `path` */
    SORVANE_SHAPE_RECT = 1,   /* x, y, w, h; corners rounded by radius */
    SORVANE_SHAPE_ELLIPSE = 2 /* bounding box x, y, w, h */
};

/* Shape flags */
#define SORVANE_SHAPE_GRADIENT 0x1u   /* fill runs from fill (top) to fill2 (bottom) */
#define SORVANE_SHAPE_FLAT_CAP 0x2u   /* flat line ends and mitred joins (else round) */
#define SORVANE_SHAPE_HGRADIENT 0x4u  /* with GRADIENT: left to right instead */
#define SORVANE_SHAPE_SQUARE_CAP 0x8u /* square line ends and mitred joins */

typedef struct SorvaneResShape {
    uint32_t kind; /* SorvaneResShapeKind */
    uint32_t flags;
    uint32_t fill;     /* 0xAARRGGBB; alpha 0 = not filled */
    uint32_t fill2;    /* gradient end colour */
    uint32_t stroke;   /* 0xAARRGGBB; alpha 0 = not stroked */
    float strokeWidth; /* design pixels */
    float x, y, w, h, radius;
    /* Path data: M/m move, L/l line, H/h V/v horizontal and vertical lines,
     * C/c cubic, Q/q quadratic, Z/z close; upper case absolute, lower case
     * relative; numbers separated by blanks or commas. */
    const char* path;
} SorvaneResShape;

typedef struct SorvaneResVector {
    const SorvaneResShape* shapes;
    uint32_t shapeCount;
} SorvaneResVector;

enum SorvaneResImageKind {
    SORVANE_IMAGE_ICON = 1,
    SORVANE_IMAGE_BITMAP = 2 /* a picture or a strip of cells */
};

/* Image flags */
#define SORVANE_IMAGE_DISABLED 0x1u /* the cells of `source` in the disabled look */

typedef struct SorvaneResImage {
    uint32_t id;
    uint32_t kind; /* SorvaneResImageKind */
    uint32_t flags;
    uint16_t cellWidth;
    uint16_t cellHeight;
    const SorvaneResVector* cells; /* left to right; count 1 for a picture */
    uint32_t cellCount;
    uint32_t source;          /* SORVANE_IMAGE_DISABLED: the image shown */
    const uint32_t* commands; /* optional: the command of each cell */
    /* Raster alternative to `cells`: PNG of the whole image at scale 1 and,
     * optionally, at scale 2 (twice the size). */
    const unsigned char* png;
    uint32_t pngSize;
    const unsigned char* png2x;
    uint32_t png2xSize;
} SorvaneResImage;

/* ---- The set ------------------------------------------------------------ */

typedef struct SorvaneResourceSet {
    uint32_t format;   /* SORVANE_RES_FORMAT */
    uint32_t size;     /* sizeof(SorvaneResourceSet) where the set was built */
    uint32_t language; /* language id: 1041 Japanese, 2052 Simplified Chinese, ... */
    const char* name;  /* the library's name, e.g. "SorvaneResCn" */
    SorvaneResVersion version;
    const SorvaneResString* strings;
    uint32_t stringCount;
    const SorvaneResMenu* menus;
    uint32_t menuCount;
    const SorvaneResDialog* dialogs;
    uint32_t dialogCount;
    const SorvaneResToolbar* toolbars;
    uint32_t toolbarCount;
    const SorvaneResAccelTable* accelTables;
    uint32_t accelTableCount;
    const SorvaneResImage* images;
    uint32_t imageCount;
} SorvaneResourceSet;

typedef const SorvaneResourceSet* (*SorvaneResEntryPointFn)(void);

#define SORVANE_RES_COUNT(array) ((uint32_t)(sizeof(array) / sizeof((array)[0])))

/* Marks the entry point of a language library as exported. */
#define SORVANE_RES_EXPORT __attribute__((visibility("default")))

/* The Japanese set built into the program. */
const SorvaneResourceSet* SorvaneBuiltinResourceSet(void);

#ifdef __cplusplus
}
#endif

#endif /* SORVANE_RES_RESOURCE_SET_H */
