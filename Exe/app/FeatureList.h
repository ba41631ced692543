// The main screen's list of the six features, each row an icon, a title and a subtitle.
#pragma once

#include "ui/OwnerDrawList.h"

class FeatureList : public OwnerDrawList {
public:
    ~FeatureList() override;

    // Creates the list as control id of parent, loads the row icons and fills the six rows, the first
    // selected.
    HRESULT Create(HWND parent, int id);

    HRESULT Activate(int row) override;
    void DrawRow(const DRAWITEMSTRUCT& item) override;

private:
    HRESULT LoadIcons();
    HRESULT Fill();
};
