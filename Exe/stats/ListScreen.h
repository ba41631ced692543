// The statistics screens are each one list that fills the screen: the screen's messages for that list.
#pragma once

#include "ui/OwnerDrawList.h"

// Lays the list (control IDC_STATS_LIST) over the whole screen on WM_SIZE and draws and measures its rows.
// True when the message was one of these.
bool HandleListMessage(OwnerDrawList& list, HWND screen, UINT msg, WPARAM wp, LPARAM lp);
