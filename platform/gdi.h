// Drawing: device contexts, bitmaps, DIB sections, pens, brushes and the drawing calls the program makes.
//
// Every surface holds 32-bit pixels (blue, green, red, unused), except DIB sections of 24 bits, which keep the
// layout their caller writes into. Edges follow the platform's rules: right and bottom edges of rectangles are
// exclusive, LineTo leaves its end pixel, every call is clipped to the device context's clip box. Handles may be
// used from any thread, but one device context belongs to one thread at a time; deleting an object that is
// still selected somewhere is deferred until it is deselected.
#pragma once

#include "platform/win_types.h"

inline constexpr DWORD SRCCOPY = 0x00CC0020;

inline constexpr int TRANSPARENT = 1;
inline constexpr int OPAQUE = 2;

inline constexpr int PS_SOLID = 0;
inline constexpr int PS_NULL = 5;

inline constexpr int WHITE_BRUSH = 0;
inline constexpr int BLACK_BRUSH = 4;
inline constexpr int NULL_BRUSH = 5;
inline constexpr int WHITE_PEN = 6;
inline constexpr int BLACK_PEN = 7;
inline constexpr int NULL_PEN = 8;
inline constexpr int SYSTEM_FONT = 13;

// Results of GetClipBox and IntersectClipRect.
inline constexpr int ERROR = 0;
inline constexpr int NULLREGION = 1;
inline constexpr int SIMPLEREGION = 2;

inline constexpr UINT DIB_RGB_COLORS = 0;
inline constexpr DWORD BI_RGB = 0;

inline constexpr ULONG GRADIENT_FILL_RECT_H = 0;
inline constexpr ULONG GRADIENT_FILL_RECT_V = 1;

inline constexpr int LOGPIXELSX = 88;
inline constexpr int LOGPIXELSY = 90;

inline constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};

struct RGBQUAD {
    BYTE rgbBlue;
    BYTE rgbGreen;
    BYTE rgbRed;
    BYTE rgbReserved;
};

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};

using COLOR16 = USHORT;

struct TRIVERTEX {
    LONG x;
    LONG y;
    COLOR16 Red;
    COLOR16 Green;
    COLOR16 Blue;
    COLOR16 Alpha;
};

struct GRADIENT_RECT {
    ULONG UpperLeft;
    ULONG LowerRight;
};

// Device contexts. A memory context starts with a 1 x 1 black bitmap, the black pen, the white brush, the system
// font, black text on an opaque white background.
HDC CreateCompatibleDC(HDC dc);
BOOL DeleteDC(HDC dc);
// The window's device context (its client area); a null window gives a context with no drawing surface, good
// for measuring text and reading device capabilities.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
// LOGPIXELSX and LOGPIXELSY: the emulated screen's DPI; other indexes give 0.
int GetDeviceCaps(HDC dc, int index);

// State stack: SaveDC returns the new depth (1 for the first save); RestoreDC takes a depth or, when negative,
// how many levels to go back.
int SaveDC(HDC dc);
BOOL RestoreDC(HDC dc, int saved);
int IntersectClipRect(HDC dc, int left, int top, int right, int bottom);
int GetClipBox(HDC dc, RECT* rect);

// Objects.
HBITMAP CreateCompatibleBitmap(HDC dc, int width, int height);
// 24- or 32-bit uncompressed sections; bottom-up for a positive height. The pixels start black.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section, DWORD offset);
HPEN CreatePen(int style, int width, COLORREF colour);
HBRUSH CreateSolidBrush(COLORREF colour);
HGDIOBJ GetStockObject(int index);
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
BOOL DeleteObject(HGDIOBJ object);

int SetBkMode(HDC dc, int mode);
COLORREF SetTextColor(HDC dc, COLORREF colour);
COLORREF SetBkColor(HDC dc, COLORREF colour);

// Transfers and drawing.
BOOL BitBlt(HDC dst, int x, int y, int width, int height, HDC src, int src_x, int src_y, DWORD rop);
// Uncompressed DIBs of 1, 4, 8 (with palette), 24 and 32 bits. For a bottom-up DIB the source rectangle's lower
// left corner is (src_x, src_y) counted from the DIB's bottom row, and bits hold the scan lines first_scan to
// first_scan + scan_count - 1. Returns the number of scan lines given, 0 when the DIB is not supported.
int SetDIBitsToDevice(HDC dc, int x, int y, DWORD width, DWORD height, int src_x, int src_y, UINT first_scan,
                      UINT scan_count, const void* bits, const BITMAPINFO* info, UINT usage);
int FillRect(HDC dc, const RECT* rect, HBRUSH brush);
// Rectangle mode only. Column (or row) i of a span n pixels long takes, per channel,
// (c0 + (c1 - c0) * i / n) >> 8 with the 16-bit vertex colours and C++ integer division, so the last pixel
// stops one step short of the second colour.
BOOL GradientFill(HDC dc, TRIVERTEX* vertices, ULONG vertex_count, void* mesh, ULONG mesh_count, ULONG mode);
COLORREF SetPixel(HDC dc, int x, int y, COLORREF colour);
COLORREF GetPixel(HDC dc, int x, int y);
BOOL MoveToEx(HDC dc, int x, int y, POINT* previous);
// One-pixel lines whatever the pen's width; the end pixel is not drawn.
BOOL LineTo(HDC dc, int x, int y);
