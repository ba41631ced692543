// Graphics of the device: pens, brushes, fonts, device contexts, text and lines.
#pragma once

#include "windef.h"
#include "winuser.h" // the handle types of drawing objects

#define WINGDIAPI EXTERN_C

// --- Colours and background ------------------------------------------------------------------------------
#define CLR_INVALID 0xFFFFFFFF
#define TRANSPARENT 1
#define OPAQUE 2

// --- Stock objects -----------------------------------------------------------------------------------------
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define SYSTEM_FONT 13

// --- Pens and brushes ----------------------------------------------------------------------------------------
#define PS_SOLID 0
#define PS_DASH 1
#define PS_NULL 5

typedef struct tagLOGPEN {
    UINT lopnStyle;
    POINT lopnWidth;
    COLORREF lopnColor;
} LOGPEN, *PLOGPEN, *LPLOGPEN;

#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL

typedef struct tagLOGBRUSH {
    UINT lbStyle;
    COLORREF lbColor;
    LONG lbHatch;
} LOGBRUSH, *PLOGBRUSH, *LPLOGBRUSH;

// --- Fonts ---------------------------------------------------------------------------------------------------
#define LF_FACESIZE 32

typedef struct tagLOGFONTW {
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
} LOGFONTW, *PLOGFONTW, *LPLOGFONTW, LOGFONT, *PLOGFONT, *LPLOGFONT;

#define FW_DONTCARE 0
#define FW_THIN 100
#define FW_EXTRALIGHT 200
#define FW_LIGHT 300
#define FW_NORMAL 400
#define FW_MEDIUM 500
#define FW_SEMIBOLD 600
#define FW_BOLD 700
#define FW_EXTRABOLD 800
#define FW_HEAVY 900

#define ANSI_CHARSET 0
#define DEFAULT_CHARSET 1
#define SYMBOL_CHARSET 2
#define OEM_CHARSET 255

#define OUT_DEFAULT_PRECIS 0
#define CLIP_DEFAULT_PRECIS 0
#define DEFAULT_QUALITY 0
#define DRAFT_QUALITY 1
#define NONANTIALIASED_QUALITY 3
#define ANTIALIASED_QUALITY 4
#define CLEARTYPE_QUALITY 5

#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_ROMAN 0x10
#define FF_SWISS 0x20
#define FF_MODERN 0x30
#define FF_SCRIPT 0x40
#define FF_DECORATIVE 0x50

typedef struct tagTEXTMETRICW {
    LONG tmHeight;
    LONG tmAscent;
    LONG tmDescent;
    LONG tmInternalLeading;
    LONG tmExternalLeading;
    LONG tmAveCharWidth;
    LONG tmMaxCharWidth;
    LONG tmWeight;
    LONG tmOverhang;
    LONG tmDigitizedAspectX;
    LONG tmDigitizedAspectY;
    WCHAR tmFirstChar;
    WCHAR tmLastChar;
    WCHAR tmDefaultChar;
    WCHAR tmBreakChar;
    BYTE tmItalic;
    BYTE tmUnderlined;
    BYTE tmStruckOut;
    BYTE tmPitchAndFamily;
    BYTE tmCharSet;
} TEXTMETRICW, *PTEXTMETRICW, *LPTEXTMETRICW, TEXTMETRIC, *LPTEXTMETRIC;

// tmPitchAndFamily: note that TMPF_FIXED_PITCH set means a variable-pitch font.
#define TMPF_FIXED_PITCH 0x01
#define TMPF_VECTOR 0x02
#define TMPF_TRUETYPE 0x04
#define TMPF_DEVICE 0x08

// --- Objects -------------------------------------------------------------------------------------------------
WINGDIAPI HGDIOBJ WINAPI GetStockObject(int fnObject);
WINGDIAPI HPEN WINAPI CreatePen(int fnPenStyle, int nWidth, COLORREF crColor);
WINGDIAPI HPEN WINAPI CreatePenIndirect(const LOGPEN* lplgpn);
WINGDIAPI HBRUSH WINAPI CreateSolidBrush(COLORREF crColor);
WINGDIAPI HFONT WINAPI CreateFontIndirectW(const LOGFONTW* lplf);
WINGDIAPI HGDIOBJ WINAPI SelectObject(HDC hdc, HGDIOBJ hgdiobj);
WINGDIAPI BOOL WINAPI DeleteObject(HGDIOBJ hObject);
WINGDIAPI int WINAPI GetObjectW(HGDIOBJ hgdiobj, int cbBuffer, LPVOID lpvObject);
#define CreateFontIndirect CreateFontIndirectW
#define GetObject GetObjectW

// --- Device capabilities -----------------------------------------------------------------------------------
#define DRIVERVERSION 0
#define TECHNOLOGY 2
#define HORZSIZE 4
#define VERTSIZE 6
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define NUMCOLORS 24
#define LOGPIXELSX 88
#define LOGPIXELSY 90
#define DT_RASDISPLAY 1
WINGDIAPI int WINAPI GetDeviceCaps(HDC hdc, int nIndex);

// --- Colours and modes of a device context ---------------------------------------------------------------
WINGDIAPI COLORREF WINAPI SetTextColor(HDC hdc, COLORREF crColor);
WINGDIAPI COLORREF WINAPI GetTextColor(HDC hdc);
WINGDIAPI COLORREF WINAPI SetBkColor(HDC hdc, COLORREF crColor);
WINGDIAPI COLORREF WINAPI GetBkColor(HDC hdc);
WINGDIAPI int WINAPI SetBkMode(HDC hdc, int iBkMode);
WINGDIAPI int WINAPI GetBkMode(HDC hdc);

// --- Text ------------------------------------------------------------------------------------------------------
#define ETO_OPAQUE 0x0002
#define ETO_CLIPPED 0x0004
WINGDIAPI BOOL WINAPI GetTextMetricsW(HDC hdc, LPTEXTMETRICW lptm);
WINGDIAPI BOOL WINAPI GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int cbString, LPSIZE lpSize);
WINGDIAPI BOOL WINAPI GetTextExtentExPointW(HDC hdc, LPCWSTR lpszStr, int cchString, int nMaxExtent,
                                            LPINT lpnFit, LPINT alpDx, LPSIZE lpSize);
WINGDIAPI BOOL WINAPI ExtTextOutW(HDC hdc, int X, int Y, UINT fuOptions, const RECT* lprc, LPCWSTR lpString,
                                  UINT cbCount, const int* lpDx);
WINGDIAPI BOOL WINAPI TextOutW(HDC hdc, int nXStart, int nYStart, LPCWSTR lpString, int cbString);
#define GetTextMetrics GetTextMetricsW
#define GetTextExtentPoint32 GetTextExtentPoint32W
#define GetTextExtentPoint GetTextExtentPoint32W
#define GetTextExtentExPoint GetTextExtentExPointW
#define ExtTextOut ExtTextOutW
#define TextOut TextOutW

// --- Lines and shapes -------------------------------------------------------------------------------------
WINGDIAPI BOOL WINAPI MoveToEx(HDC hdc, int X, int Y, LPPOINT lpPoint);
WINGDIAPI BOOL WINAPI LineTo(HDC hdc, int nXEnd, int nYEnd);
WINGDIAPI BOOL WINAPI Rectangle(HDC hdc, int nLeftRect, int nTopRect, int nRightRect, int nBottomRect);
