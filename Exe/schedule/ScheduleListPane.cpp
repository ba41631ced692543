#include "schedule/ScheduleListPane.h"

#include "app/Program.h"
#include "app/ResourceText.h"
#include "app/WaitCursor.h"
#include "schedule/ScheduledMessageList.h"
#include "store/Owners.h"
#include "store/SmsRecord.h"

#include "ids.h"

#include <memory>

namespace {

// Later times first; equal times in no particular order.
int CALLBACK LatestFirst(LPARAM first, LPARAM second, LPARAM)
{
    const DateTime& a = reinterpret_cast<const ScheduledMessage*>(first)->Time();
    const DateTime& b = reinterpret_cast<const ScheduledMessage*>(second)->Time();
    if (b < a)
        return -1;
    return b > a ? 1 : 0;
}

// The body on one line: each line break becomes one space.
void OneLine(LPCWSTR body, LPWSTR line, int capacity)
{
    int length = 0;
    for (LPCWSTR at = body ? body : TEXT(""); *at && length < capacity - 1; ++at) {
        if (at[0] == u'\r' && at[1] == u'\n') {
            line[length++] = u' ';
            ++at;
        } else {
            line[length++] = *at;
        }
    }
    line[length] = 0;
}

} // namespace

ScheduleListPane::ScheduleListPane()
{
    m_dimmedFont = true;
}

ScheduleListPane::~ScheduleListPane()
{
    if (m_icon)
        DestroyIcon(m_icon);
}

HRESULT ScheduleListPane::Create(HWND parent, int id)
{
    if (FAILED(OwnerDrawList::Create(parent, id, 0)))
        return E_FAIL;
    std::unique_ptr<WCHAR[]> empty(CopyResourceString(IDS_SCHEDULED_EMPTY));
    return SetEmptyText(empty.get());
}

HRESULT ScheduleListPane::LoadRowIcon()
{
    if (m_icon)
        return S_OK;
    m_icon = static_cast<HICON>(LoadImageW(g_program.resources, MAKEINTRESOURCEW(IDI_SCHEDULED_MESSAGE), IMAGE_ICON,
                                           IconWidth(), IconHeight(), 0));
    if (!m_icon || ImageList_AddIcon(Images(), m_icon) != 0)
        return E_FAIL;
    return S_OK;
}

HRESULT ScheduleListPane::Fill(const ScheduledMessageList& messages, LPCWSTR keyName)
{
    WaitCursor wait;
    LoadRowIcon(); // without it the rows are drawn without an icon
    HWND list = Window();
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    HRESULT hr = InsertRows(messages);
    if (SUCCEEDED(hr)) {
        SendMessageW(list, LVM_SORTITEMS, 0, reinterpret_cast<LPARAM>(&LatestFirst));
        SelectKey(keyName);
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    return hr;
}

HRESULT ScheduleListPane::InsertRows(const ScheduledMessageList& messages)
{
    HWND list = Window();
    if (!SendMessageW(list, LVM_DELETEALLITEMS, 0, 0))
        return E_FAIL;
    for (size_t index = 0; index < messages.Count(); ++index) {
        LVITEMW item{};
        item.mask = LVIF_IMAGE | LVIF_PARAM;
        item.iItem = static_cast<int>(index);
        item.lParam = reinterpret_cast<LPARAM>(messages.Item(index));
        if (SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)) != item.iItem)
            return E_FAIL;
    }
    return S_OK;
}

void ScheduleListPane::SelectKey(LPCWSTR keyName)
{
    if (!keyName) {
        SelectRow(0);
        return;
    }
    for (int row = 0; row < RowCount(); ++row) {
        auto message = reinterpret_cast<const ScheduledMessage*>(RowData(row));
        if (message && lstrcmpW(message->KeyName(), keyName) == 0) {
            SelectRow(row);
            return;
        }
    }
}

int ScheduleListPane::RowCount() const
{
    return static_cast<int>(SendMessageW(Window(), LVM_GETITEMCOUNT, 0, 0));
}

HRESULT ScheduleListPane::SelectedMessage(ScheduledMessage** message) const
{
    int row = SelectedRow();
    if (row < 0)
        return E_FAIL;
    *message = reinterpret_cast<ScheduledMessage*>(RowData(row));
    return *message ? S_OK : E_OUTOFMEMORY;
}

HRESULT ScheduleListPane::Activate(int row)
{
    SendMessageW(GetParent(Window()), WM_EDIT_SELECTED_SCHEDULED, row, 0);
    return S_OK;
}

void ScheduleListPane::DrawRow(const DRAWITEMSTRUCT& item)
{
    auto message = reinterpret_cast<const ScheduledMessage*>(item.itemData);
    LocalPtr<WCHAR> due;
    if (!message || FAILED(message->DescribeDue(due.Out())))
        return;
    WCHAR text[kMaxSmsLength + 1];
    OneLine(message->Text(), text, kMaxSmsLength + 1);
    DrawTwoLineRow(item, due.Get(), text, 0, message->IsPast(false));
}
