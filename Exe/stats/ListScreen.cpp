#include "stats/ListScreen.h"

#include "ui/Layout.h"

#include "ids.h"

bool HandleListMessage(OwnerDrawList& list, HWND screen, UINT msg, WPARAM wp, LPARAM lp)
{
    switch (msg) {
    case WM_SIZE:
        if (list.Window())
            FitControl(screen, IDC_STATS_LIST, kLayoutWhole);
        return true;
    case WM_DRAWITEM:
        if (wp != IDC_STATS_LIST)
            return false;
        list.DrawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
        return true;
    case WM_MEASUREITEM:
        if (wp != IDC_STATS_LIST)
            return false;
        list.MeasureRow(*reinterpret_cast<MEASUREITEMSTRUCT*>(lp));
        return true;
    }
    return false;
}
