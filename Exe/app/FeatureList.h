// The main screen's list of the six features, each row an icon, a title and a subtitle.
#pragma once

#include "app/FeatureEntry.h"
#include "ui/ResourceRowList.h"

class FeatureList : public ResourceRowList {
public:
    FeatureList();

    HRESULT Activate(int row) override;

private:
    ResourceRow m_features[kFeatureRowCount]; // each row's item data is its FeatureEntry
};
