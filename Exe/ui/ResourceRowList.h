// A list of a fixed set of rows, each an icon over a title and a subtitle of the resource library, the first
// row selected when filled. The row icons are kept in program-wide slots, one per row, and destroyed with
// the list.
#pragma once

#include "ui/OwnerDrawList.h"

struct ResourceRow {
    WORD iconId;
    UINT titleId;
    UINT subtitleId;
    LPARAM data; // the row's item data
};

class ResourceRowList : public OwnerDrawList {
public:
    // rows and icons (count slots) outlive the list.
    ResourceRowList(const ResourceRow* rows, HICON* icons, int count) : m_rows(rows), m_icons(icons), m_count(count) {}
    ~ResourceRowList() override;

    // Creates the list as control id of parent, loads the icons and fills the rows, the first selected and
    // focused.
    HRESULT Create(HWND parent, int id);

    void DrawRow(const DRAWITEMSTRUCT& item) override;

private:
    HRESULT LoadIcons();
    HRESULT Fill();

    const ResourceRow* m_rows;
    HICON* m_icons;
    int m_count;
};
