// The rows of the scheduled messages screen, one per message, latest first: when it is due over the start
// of its text, with the clock icon, struck out in grey once its time has gone by.
#pragma once

#include "ui/OwnerDrawList.h"

class ScheduledMessage;
class ScheduledMessageList;

// Sent to the list's parent when a row is activated, with the row index as wParam: edit its message.
constexpr UINT WM_EDIT_SELECTED_SCHEDULED = WM_USER + 3;

class ScheduleListPane : public OwnerDrawList {
public:
    ScheduleListPane();
    ~ScheduleListPane() override;

    // Creates the list as control id of parent, with the text it shows when empty.
    HRESULT Create(HWND parent, int id);
    // Rebuilds the rows from messages, whose objects they point to: selects the row of the message with
    // that key name (exactly), or row 0 without one.
    HRESULT Fill(const ScheduledMessageList& messages, LPCWSTR keyName);
    // The selected row's message: E_FAIL when no row is selected, E_OUTOFMEMORY for a row without one.
    HRESULT SelectedMessage(ScheduledMessage** message) const;
    int RowCount() const;

    HRESULT Activate(int row) override;
    void DrawRow(const DRAWITEMSTRUCT& item) override;

private:
    HRESULT LoadRowIcon();
    HRESULT InsertRows(const ScheduledMessageList& messages);
    void SelectKey(LPCWSTR keyName);

    HICON m_icon = nullptr;
};
