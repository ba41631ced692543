// One row of the main screen's feature list: what it shows and what it runs.
#pragma once

#include <windows.h>

class FeatureEntry {
public:
    constexpr FeatureEntry(DWORD closesMain, WORD iconId, UINT titleId, UINT subtitleId)
        : closesMain(closesMain), iconId(iconId), titleId(titleId), subtitleId(subtitleId)
    {}

    // Runs the feature over owner (the feature list's window).
    virtual HRESULT Action(HWND owner) const = 0;

    const DWORD closesMain; // 1: a successful action closes the program when AutoExit is set
    const WORD iconId;
    const UINT titleId;
    const UINT subtitleId;

protected:
    ~FeatureEntry() = default;
};

constexpr int kFeatureRowCount = 6;

// The rows in list order.
const FeatureEntry& FeatureAt(int row);
