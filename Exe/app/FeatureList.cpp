#include "app/FeatureList.h"

#include "app/MainWindow.h"
#include "app/Program.h"

FeatureList::FeatureList() : ResourceRowList(m_features, g_program.featureIcons, kFeatureRowCount)
{
    for (int row = 0; row < kFeatureRowCount; ++row) {
        const FeatureEntry& entry = FeatureAt(row);
        m_features[row] = {entry.iconId, entry.titleId, entry.subtitleId, reinterpret_cast<LPARAM>(&entry)};
    }
}

HRESULT FeatureList::Activate(int row)
{
    auto entry = reinterpret_cast<const FeatureEntry*>(RowData(row));
    if (!entry)
        return E_FAIL;
    // A feature that closes the program destroys this list on the way: nothing of it is used afterwards.
    return g_mainWindow.RunFeature(*entry, Window());
}
