// Fonts and text: CreateFontIndirectW and DrawTextW.
//
// Faces come from FreeType through fontconfig: "Tahoma" is the Tahoma of Wine's font folder (regular and bold),
// else DejaVu Sans. A positive lfHeight is the cell height (ascent plus descent), a negative one the character
// height (the em size); weights from 550 up take the bold face. The box font (set_box_font, or MORVIK_FONT=box
// in the environment) replaces every face for tests and goldens that must not depend on the installed fonts. Glyphs are
// anti-aliased in grey levels and advance by whole pixels. Measuring (DT_CALCRECT) and drawing share one layout, so
// they always agree. The font engine is serialised: any thread may measure or draw.
#pragma once

#include <string>

#include "platform/win_types.h"

inline constexpr int LF_FACESIZE = 32;
inline constexpr int FW_NORMAL = 400;
inline constexpr int FW_BOLD = 700;
inline constexpr BYTE RUSSIAN_CHARSET = 204;
inline constexpr BYTE CLEARTYPE_QUALITY = 5;

struct LOGFONTW {
    LONG lfHeight;
    LONG lfWidth;
    LONG lfEscapement;
    LONG lfOrientation;
    LONG lfWeight;
    BYTE lfItalic;
    BYTE lfUnderline;
    BYTE lfStrikeOut;
    BYTE lfCharSet;
    BYTE lfOutPrecision;
    BYTE lfClipPrecision;
    BYTE lfQuality;
    BYTE lfPitchAndFamily;
    WCHAR lfFaceName[LF_FACESIZE];
};

inline constexpr UINT DT_TOP = 0x0;
inline constexpr UINT DT_LEFT = 0x0;
inline constexpr UINT DT_CENTER = 0x1;
inline constexpr UINT DT_RIGHT = 0x2;
inline constexpr UINT DT_VCENTER = 0x4;
inline constexpr UINT DT_BOTTOM = 0x8;
inline constexpr UINT DT_SINGLELINE = 0x20;
inline constexpr UINT DT_NOCLIP = 0x100;
inline constexpr UINT DT_CALCRECT = 0x400;
inline constexpr UINT DT_NOPREFIX = 0x800;
inline constexpr UINT DT_WORD_ELLIPSIS = 0x40000;

HFONT CreateFontIndirectW(const LOGFONTW* font);

// Draws text in the selected font, text colour and background mode, clipped to the rectangle (and the DC's clip
// box). Without DT_SINGLELINE, line feeds (LF, CR or CR LF) start new lines and vertical alignment is top;
// with it, DT_VCENTER and DT_BOTTOM place the line. DT_WORD_ELLIPSIS shortens a line wider than the rectangle
// to what fits followed by "...". '&' underlines the next character and "&&" shows one '&' unless DT_NOPREFIX.
// DT_CALCRECT draws nothing: it sets the rectangle's right and bottom to the text's extent from its left and
// top. A count below 0 means the text ends at its terminating zero. Returns the text's height (for DT_VCENTER
// and DT_BOTTOM the offset from the rectangle's top to the text's bottom), 0 on failure.
int DrawTextW(HDC dc, LPCWSTR text, int count, RECT* rect, UINT format);

namespace platform {

// The box font: every printable character is a filled box, whatever the face and weight. A font of cell
// height h (a positive lfHeight, or the em of a negative one; 16 for 0) has ascent h - h / 5, descent h / 5,
// advance max(1, h / 2) per character (blank included), and each glyph inks the rectangle from the cell's
// top to the baseline, max(1, advance - 1) wide from the pen position. Fonts made while it is on stay box
// fonts; fonts made while it is off stay real.
void set_box_font(bool on);
bool box_font();

// A record of the texts drawn, for screen tests that check texts exactly as shown. While one is installed,
// every DrawTextW that draws (not DT_CALCRECT) into a non-empty clip hands it the text, the rectangle given,
// the DC's text colour and the format. It runs on the drawing thread under the font engine's lock, so it
// must neither draw nor measure. None is installed by default, which costs one atomic load per text.
class text_recorder {
public:
    virtual ~text_recorder() = default;
    virtual void drawn(const std::wstring& text, const RECT& rect, COLORREF colour, UINT format) = 0;
};
// Installs the recorder for the whole process; null removes it. It must outlive its installation.
void set_text_recorder(text_recorder* recorder);

} // namespace platform
