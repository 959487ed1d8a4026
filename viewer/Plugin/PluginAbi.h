/* The contract between the viewer and its page-rendering plug-ins: the only
 * header a plug-in needs. Plain C so that a plug-in may be written in either
 * language.
 *
 * Rules of the boundary:
 * - Exports are looked up by name (extern "C", exact case) with the default
 *   C calling convention.
 * - Handles are pointer-sized and opaque; 0 means none.
 * - Booleans are 32-bit integers: 0 is false, anything else true.
 * - Every string is NUL-terminated Windows-1251 text, except where an export
 *   says otherwise (OpenDocumentUtf8, ReadActiveRectsUtf8).
 * - Page numbers are 1-based; page geometry is in millimetres, pixel
 *   positions are in the page's current render size.
 * - The viewer owns every record it passes; a plug-in reads or fills it during
 *   the call only (TPluginSetupRec excepted: it lives as long as the plug-in
 *   is loaded). Texts a plug-in returns belong to it and must stay readable
 *   as long as the object they describe.
 * - A plug-in lets no exception out of an export and checks every pointer and
 *   size it is given; the viewer checks every pointer, count and size it gets
 *   back.
 *
 * Versioning: GetPluginVersion answers FOLIO_PLUGIN_INTERFACE_VERSION as the
 * plug-in was built. The viewer binds plug-ins of version 1 up to its own and
 * refuses newer ones; it uses an export only from a plug-in whose version is
 * at least the one that brought it, so an older plug-in keeps working without
 * it. Records and exports only grow at their end, and every addition names
 * the version that brought it. */
#ifndef FOLIO_PLUGIN_ABI_H
#define FOLIO_PLUGIN_ABI_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define FOLIO_PLUGIN_INTERFACE_VERSION 3
/* The oldest version the viewer still binds. */
#define FOLIO_PLUGIN_OLDEST_VERSION 1

/* The size of the link text buffer that ReadActiveRects fills. */
#define FOLIO_LINK_TEXT_SIZE 8193

/* The largest side in pixels of a page, at its native size as at any render
 * size: 7.9 m at 96 pixels per inch, beyond the largest page a PDF can
 * describe (200 inches). A page claiming more is refused by both sides. */
#define FOLIO_MAX_PAGE_SIDE 30000

/* Pixel-format codes of SetPagePixelFormat and TPageInfo.PixelFormat. */
#define FOLIO_PIXELS_MONO 1    /* 1 bit per pixel, 0 white, 1 black, leftmost pixel in the top bit */
#define FOLIO_PIXELS_GREY 2    /* 8 bits per pixel, 0 white .. 255 black */
#define FOLIO_PIXELS_RGB 4     /* 24 bits per pixel: blue, green, red bytes */
#define FOLIO_PIXELS_RGBX 8    /* 32 bits per pixel: blue, green, red and one unused byte */
#define FOLIO_PIXELS_DEVICE 16 /* draw on TBlitRec.Device */

/* SetPageSize modes. */
#define FOLIO_SIZE_FIT_WIDTH 1  /* the width holds; the height follows the page's proportions */
#define FOLIO_SIZE_FIT_HEIGHT 2 /* the height holds; the width follows */
#define FOLIO_SIZE_EXACT 3      /* both hold */

/* TPageInfo.Flags: the page is never drawn through an off-screen buffer. */
#define FOLIO_PAGE_NO_BUFFER 0x20

typedef intptr_t TPluginHandle; /* since 1 */
typedef int32_t TPluginBool;    /* since 1 */

/* A point and a rectangle on a page, in millimetres; a rectangle with
 * Left >= Right or Top >= Bottom is empty. Since 1. */
typedef struct TPluginPoint {
  double X;
  double Y;
} TPluginPoint;

typedef struct TPluginRect {
  double Left;
  double Top;
  double Right;
  double Bottom;
} TPluginRect;

/* One format a plug-in serves; GetPluginDescription returns an array of them
 * ending at the first record whose Extension is NULL. Since 1. */
typedef struct TPluginFormatDesc {
  const char* Extension; /* without the dot: "pdf", "djvu" */
  int32_t Reserved1;     /* copied by the viewer, never read */
  int32_t Reserved2;
  int32_t Reserved3;
} TPluginFormatDesc;

/* The log callback: the viewer ignores the first two arguments; Message is
 * appended to the viewer's log. Since 1. */
typedef void (*TPluginLogProc)(intptr_t A, intptr_t B, const char* Message);

/* Handed to SetupPlugin; zero except where noted. Since 1. */
typedef struct TPluginSetupRec {
  int32_t Reserved0;
  int32_t Reserved1;
  TPluginLogProc Log;
  void* LogContext; /* opaque to the plug-in */
  int32_t Reserved4;
  int32_t Reserved5;
  int32_t Mode; /* 0 while the viewer shows diagnostics, else 2 */
  int32_t Reserved7;
} TPluginSetupRec;

/* Handed to SetupDocument, zero-filled. Since 1. */
typedef struct TDocumentSetupRec {
  int32_t Reserved0;
  int32_t Reserved1;
} TDocumentSetupRec;

/* Filled by CreatePage; zero on entry. Since 1. */
typedef struct TPageInfo {
  int32_t Reserved0;
  int32_t Reserved1;
  double Width;        /* millimetres */
  double Height;       /* millimetres */
  const char* Caption; /* names the page in the document's page list */
  uint32_t Flags;      /* FOLIO_PAGE_NO_BUFFER; other bits are not read */
  int32_t PixelFormat; /* the preferred FOLIO_PIXELS_* code */
  int32_t NativeWidth; /* pixels */
  int32_t NativeHeight;
  TPluginHandle Page;
  int32_t Rotation; /* the low 2 bits: quarter turns */
} TPageInfo;

/* Handed to Blit. Row k of the target (k from 0) is page row Top + k and
 * starts at Bits + k * Stride; byte or bit 0 of a row is page column Left.
 * Since 1. */
typedef struct TBlitRec {
  int32_t Reserved0;
  int32_t Left; /* page pixels; Right and Bottom exclusive */
  int32_t Top;
  int32_t Right;
  int32_t Bottom;
  uint8_t One;      /* always 1 */
  void* Device;     /* FOLIO_PIXELS_DEVICE: a QPainter* on the target, else NULL */
  uint8_t* Bits;    /* the first byte of the target's top row, NULL for the device */
  int32_t Stride;   /* bytes from one row to the next; negative bottom-up; 0 for one row */
  int32_t BitsSize; /* bytes the target holds from its lowest row address on; 0 for the device */
} TBlitRec;

/* Handed to CreateContext, zero on entry. Since 1. */
typedef struct TContextRec {
  int32_t Reserved0;
  TPluginHandle Context; /* written by the plug-in; 0 = no context */
  int32_t Reserved2;
  intptr_t Cookie; /* written by the plug-in, handed back in TContextSetupRec */
} TContextRec;

/* Handed to SetupContext to select a page. Since 1. */
typedef struct TContextSetupRec {
  int32_t Reserved0;
  int32_t Page;     /* 1-based */
  int32_t PageLast; /* the same page */
  intptr_t Cookie;  /* TContextRec.Cookie */
  int32_t Reserved[3];
} TContextSetupRec;

/* The exports. Group 1 is required; CreateContext (group 2) is optional and
 * brings group 3 with it; groups 4, 5 and 6 are optional. */

/* Group 1, since 1. */
typedef const TPluginFormatDesc* (*TGetPluginDescription)(void);
typedef int32_t (*TGetPluginVersion)(void);
typedef TPluginBool (*TSetupPlugin)(const TPluginSetupRec* Setup);
typedef TPluginHandle (*TCreateDocument)(void);
typedef void (*TDestroyDocument)(TPluginHandle Document); /* Document may be 0 */
typedef TPluginBool (*TSetupDocument)(TPluginHandle Document, TDocumentSetupRec* Setup);
typedef TPluginBool (*TOpenDocument)(TPluginHandle Document, const char* Path);
typedef int32_t (*TGetPageCount)(TPluginHandle Document);
typedef TPluginBool (*TCreatePage)(TPluginHandle Document, int32_t Page, TPageInfo* Info);
typedef void (*TDestroyPage)(TPluginHandle Page);
typedef int32_t (*TSetPagePixelFormat)(TPluginHandle Page, int32_t Code);
typedef TPluginBool (*TSetPageSize)(TPluginHandle Page, int32_t* Width, int32_t* Height, int32_t Mode);
typedef int32_t (*TBlit)(TPluginHandle Page, const TBlitRec* Target); /* 0 = nothing drawn */

/* Group 2, since 1. */
typedef TPluginBool (*TCreateContext)(TPluginHandle Document, TContextRec* Context);

/* Group 3, since 1. */
typedef void (*TDestoryContext)(TPluginHandle Context);
typedef void (*TSetupContext)(TPluginHandle Context, const TContextSetupRec* Setup);
/* The page text: *Text points to *Length single-byte characters. */
typedef int32_t (*TGetText)(TPluginHandle Context, const char** Text, int32_t* Length);
/* The book description as NUL-terminated XML; *Length is not used. */
typedef TPluginBool (*TGetTableOfContents)(TPluginHandle Document, const char** Text, int32_t* Length);

/* Group 4, since 1. */
/* The bounds of the selected page's content. */
typedef TPluginBool (*TReadBorders)(TPluginHandle Context, TPluginRect* Bounds);
/* Count character rectangles from character First (0-based) on. */
typedef void (*TReadRects)(TPluginHandle Context, TPluginRect* Rects, int32_t First, int32_t Count);

/* Group 5, since 1. */
typedef int32_t (*TReadActiveRectsCount)(TPluginHandle Context);
/* With Points NULL only *Count is written (the vertex count of area Index);
 * else *Count vertices and a NUL-terminated link text of at most TextSize
 * bytes are written, and *Count stays. */
typedef int32_t (*TReadActiveRects)(TPluginHandle Context, int32_t Index, int32_t* Count,
                                    TPluginPoint* Points, char* Text, int32_t TextSize);

/* Group 6, since 1. */
typedef TPluginBool (*TOpenDocumentEx)(TPluginHandle Document, const char* Path, int32_t Flags);

/* Group 6, since 2. Opens Path as the file system spells it (UTF-8 here),
 * bytes taken unchanged: the viewer calls it, instead of OpenDocument, for a
 * name that has no Windows-1251 spelling. Same result as OpenDocument. */
typedef TPluginBool (*TOpenDocumentUtf8)(TPluginHandle Document, const char* Path);

/* Group 5, since 3. ReadActiveRects with a link text that can name any
 * file: its file names are the file system's own bytes (UTF-8 here, other
 * bytes taken unchanged: every byte but "/" and NUL is part of a name, and
 * "/" alone separates folders), the rest of the text is UTF-8. The viewer
 * calls it instead of ReadActiveRects when the plug-in exports it. */
typedef TReadActiveRects TReadActiveRectsUtf8;

#ifdef __cplusplus
}
#endif

#endif /* FOLIO_PLUGIN_ABI_H */
