// System metrics and colours of the device, scaled to the profile's resolution.
#include <windows.h>

#include "user/Screen.h"

int WINAPI GetSystemMetrics(int nIndex)
{
    using device::Scale;
    RECT screen = device::ScreenBounds();
    switch (nIndex) {
    case SM_CXSCREEN: return screen.right;
    case SM_CYSCREEN: return screen.bottom;
    case SM_CXFULLSCREEN: return screen.right;
    case SM_CYFULLSCREEN: return screen.bottom - Scale(26);
    case SM_CXVSCROLL: return Scale(13);
    case SM_CYHSCROLL: return Scale(13);
    case SM_CYCAPTION: return Scale(26);
    case SM_CYMENU: return Scale(26);
    case SM_CXBORDER:
    case SM_CYBORDER: return 1;
    case SM_CXEDGE:
    case SM_CYEDGE: return Scale(2);
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return Scale(3);
    case SM_CXICON:
    case SM_CYICON: return Scale(32);
    case SM_CXSMICON:
    case SM_CYSMICON: return Scale(16);
    default: return 0;
    }
}

DWORD WINAPI GetSysColor(int nIndex)
{
    switch (nIndex | SYS_COLOR_INDEX_FLAG) {
    case COLOR_WINDOW:
    case COLOR_MENU:
    case COLOR_INFOBK: return RGB(255, 255, 255);
    case COLOR_WINDOWTEXT:
    case COLOR_MENUTEXT:
    case COLOR_BTNTEXT:
    case COLOR_CAPTIONTEXT:
    case COLOR_INFOTEXT:
    case COLOR_STATICTEXT: return RGB(0, 0, 0);
    case COLOR_HIGHLIGHT:
    case COLOR_ACTIVECAPTION: return RGB(0, 85, 170);
    case COLOR_HIGHLIGHTTEXT: return RGB(255, 255, 255);
    case COLOR_BTNFACE:
    case COLOR_STATIC:
    case COLOR_3DLIGHT: return RGB(214, 211, 206);
    case COLOR_BTNSHADOW: return RGB(132, 130, 132);
    case COLOR_GRAYTEXT: return RGB(128, 128, 128);
    case COLOR_BTNHIGHLIGHT: return RGB(255, 255, 255);
    case COLOR_3DDKSHADOW: return RGB(66, 65, 66);
    default: return RGB(192, 192, 192);
    }
}

// The device lets a system colour index stand for a brush when marked with SYS_COLOR_INDEX_FLAG; the
// drawing code resolves such handles to the colour in force when they are used.
HBRUSH WINAPI GetSysColorBrush(int nIndex)
{
    int index = nIndex & ~SYS_COLOR_INDEX_FLAG;
    if (index < 0 || index > (COLOR_STATICTEXT & ~SYS_COLOR_INDEX_FLAG))
        return nullptr;
    return reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(SYS_COLOR_INDEX_FLAG | index));
}
