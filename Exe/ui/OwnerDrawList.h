// The owner-drawn two-line list of the program's screens: a report-view list control whose rows show an
// icon, a bold title and a subtitle over a separator line, with a text of its own when it has no rows.
// Derived lists say what activating a row does and how a row is drawn.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <initializer_list>

class OwnerDrawList {
public:
    OwnerDrawList() = default;
    virtual ~OwnerDrawList();
    OwnerDrawList(const OwnerDrawList&) = delete;
    OwnerDrawList& operator=(const OwnerDrawList&) = delete;

    // Creates the list control as child id of parent and attaches to it.
    HRESULT Create(HWND parent, int id, DWORD extraStyle);
    // Takes over an existing list control: fonts, pen, image list, styles and its one column.
    HRESULT Attach(HWND list);

    void SelectRow(int index);
    // The row whose text equals text; an empty text selects nothing.
    void SelectRowByText(LPCWSTR text);
    int SelectedRow() const;         // -1 when none
    LPARAM RowData(int index) const; // 0 for a row that doesn't exist
    HRESULT SetEmptyText(LPCWSTR text);
    // NM_RETURN and NM_CLICK activate a row; anything else is E_FAIL (not handled here).
    HRESULT HandleNotify(const NMHDR* header);
    // The screen's side of a list that fills it (control id): lays it over the screen on WM_SIZE, draws and
    // measures its rows, passes its notifications on. True when the message was one of these, with the
    // screen procedure's answer in *result.
    bool HandleScreenMessage(HWND screen, int id, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
    // Enables the commands while a row is selected, greys them otherwise.
    void EnableCommandsForSelection(HMENU menu, std::initializer_list<UINT> commands);

    HWND Window() const { return m_list; }
    HIMAGELIST Images() const { return m_images; }
    int IconWidth() const { return m_iconWidth; }
    int IconHeight() const { return m_iconHeight; }

    virtual HRESULT Activate(int row) = 0;
    virtual void DrawRow(const DRAWITEMSTRUCT& item) = 0;
    virtual void MeasureRow(MEASUREITEMSTRUCT& item);

protected:
    // The shared two-line renderer; image is an index into the list's images, or -1 for none.
    void DrawTwoLineRow(const DRAWITEMSTRUCT& item, LPCWSTR title, LPCWSTR subtitle, int image, bool dimmed);

    // Options, set before Create or Attach.
    int m_titleSize = -13;
    int m_subtitleSize = -12;
    bool m_smallIcons = false;
    bool m_noImageList = false;
    bool m_dimmedFont = false;
    bool m_iconAtRight = false;

private:
    static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    HRESULT MakeDrawingObjects();
    bool DrawEmptyText(HDC dc);
    void Detach();
    void ForgetControl();

    HWND m_list = nullptr;
    HFONT m_titleFont = nullptr;
    HFONT m_subtitleFont = nullptr;
    HFONT m_dimmedFontHandle = nullptr;
    HPEN m_separatorPen = nullptr;
    HIMAGELIST m_images = nullptr;
    int m_iconWidth = 0;
    int m_iconHeight = 0;
    LPWSTR m_emptyText = nullptr;
    WNDPROC m_previousProc = nullptr;
};
