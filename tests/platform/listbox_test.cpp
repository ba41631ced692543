// The list box, alone and as the Smartphone spinner with an up-down buddy.
#include "ControlHost.h"

using control_host::ControlTest;
using control_host::g_recorder;

namespace {

class ListBoxControl : public ControlTest {
protected:
    HWND Filled(DWORD style, std::initializer_list<const char16_t*> rows, int id = 655)
    {
        HWND list = Create(TEXT("ListBox"), style, id);
        for (const char16_t* row : rows)
            SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
        return list;
    }

    static std::u16string Row(HWND list, int index)
    {
        WCHAR text[64] = {};
        if (SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text)) == LB_ERR)
            return u"<error>";
        return text;
    }
};

} // namespace

TEST_F(ListBoxControl, RowsAreAddedInsertedDeletedAndFoundWithTheirData)
{
    HWND list = Filled(0, {u"5 seconds", u"10 seconds", u"No warning"});
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(list, LB_INSERTSTRING, 2, reinterpret_cast<LPARAM>(u"30 seconds")), 2);
    EXPECT_EQ(SendMessageW(list, LB_INSERTSTRING, 9, reinterpret_cast<LPARAM>(u"x")), LB_ERR);
    EXPECT_EQ(Row(list, 2), u"30 seconds");
    EXPECT_EQ(SendMessageW(list, LB_GETTEXTLEN, 3, 0), 10);
    EXPECT_EQ(Row(list, 4), u"<error>");

    EXPECT_EQ(SendMessageW(list, LB_SETITEMDATA, 1, 10), TRUE);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 1, 0), 10);
    EXPECT_EQ(SendMessageW(list, LB_SETITEMDATA, 7, 10), LB_ERR);

    // The exact search ignores case, starts after the given row and goes round.
    EXPECT_EQ(SendMessageW(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(u"NO WARNING")), 3);
    EXPECT_EQ(SendMessageW(list, LB_FINDSTRINGEXACT, 3, reinterpret_cast<LPARAM>(u"5 seconds")), 0);
    EXPECT_EQ(SendMessageW(list, LB_FINDSTRINGEXACT, -1, reinterpret_cast<LPARAM>(u"5 sec")), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_FINDSTRING, -1, reinterpret_cast<LPARAM>(u"3")), 2);

    // Deleting rows keeps the selection on the same row, or drops it with the row.
    SendMessageW(list, LB_SETCURSEL, 2, 0);
    EXPECT_EQ(SendMessageW(list, LB_DELETESTRING, 0, 0), 3);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(SendMessageW(list, LB_GETITEMDATA, 0, 0), 10);
    SendMessageW(list, LB_DELETESTRING, 1, 0);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
}

TEST_F(ListBoxControl, SortedListPlacesRowsInTheLocalesOrder)
{
    HWND list = Filled(LBS_SORT, {u"Zoe", u"\u00c9mile", u"adam", u"emma"});
    EXPECT_EQ(Row(list, 0), u"adam");
    EXPECT_EQ(Row(list, 1), u"\u00c9mile");
    EXPECT_EQ(Row(list, 2), u"emma");
    EXPECT_EQ(Row(list, 3), u"Zoe");
}

TEST_F(ListBoxControl, ArrowKeysMoveTheSelectionAndOnlyTheUsersChangesAreReported)
{
    HWND list = Filled(LBS_NOTIFY, {u"Every caller", u"Contacts only", u"Nobody"});
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 1, 0), 1);
    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, 5, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(g_recorder.Commands(LBN_SELCHANGE), 0);

    Press(list, VK_DOWN);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    Press(list, VK_DOWN); // already on the last row
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    Press(list, VK_UP);
    Press(list, VK_UP);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
    auto changes = g_recorder.Of(WM_COMMAND, LBN_SELCHANGE);
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0].id, 655);
    EXPECT_EQ(changes[0].from, list);

    EXPECT_EQ(SendMessageW(list, LB_SETCURSEL, -1, 0), LB_ERR); // -1 clears, and still answers LB_ERR
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    Press(list, VK_DOWN); // with nothing selected the first row is chosen
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);

    // Without LBS_NOTIFY the parent hears nothing.
    HWND quiet = Filled(0, {u"a", u"b"}, 656);
    Press(quiet, VK_DOWN);
    Press(quiet, VK_DOWN);
    EXPECT_EQ(SendMessageW(quiet, LB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(g_recorder.Commands(LBN_SELCHANGE), 4);
}

TEST_F(ListBoxControl, SpinnerChangesTheListsSelectionWithLeftAndRight)
{
    HWND list = Filled(LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, {u"5 seconds", u"10 seconds", u"30 seconds"}, 666);
    SendMessageW(list, LB_SETCURSEL, 1, 0);
    HWND spinner = Create(UPDOWN_CLASS, UDS_HORZ | UDS_ALIGNRIGHT | UDS_ARROWKEYS | UDS_SETBUDDYINT | UDS_WRAP, 624,
                          TEXT(""), RECT{0, 0, 0, 0});
    ASSERT_NE(spinner, nullptr);
    EXPECT_EQ(SendMessageW(spinner, UDM_SETBUDDY, reinterpret_cast<WPARAM>(list), 0), 0);
    EXPECT_EQ(SendMessageW(spinner, UDM_GETBUDDY, 0, 0), reinterpret_cast<LRESULT>(list));
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1); // attaching keeps the list's choice
    // The spinner sits at the list's right edge and the list gives up that width.
    RECT listRect, spinRect;
    GetWindowRect(list, &listRect);
    GetWindowRect(spinner, &spinRect);
    EXPECT_EQ(listRect.right, spinRect.left);
    EXPECT_GT(spinRect.right, spinRect.left);

    Press(list, VK_RIGHT);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    Press(list, VK_RIGHT); // past the last row: wraps round
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
    Press(list, VK_LEFT);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    auto changes = g_recorder.Of(WM_COMMAND, LBN_SELCHANGE);
    ASSERT_EQ(changes.size(), 3u);
    EXPECT_EQ(changes[0].id, 666);
    auto deltas = g_recorder.Of(WM_NOTIFY, UDN_DELTAPOS);
    ASSERT_EQ(deltas.size(), 3u);
    EXPECT_EQ(deltas[0].upDown.iPos, 1);
    EXPECT_EQ(deltas[0].upDown.iDelta, 1);
    EXPECT_EQ(deltas[0].id, 624);
    // The parent may refuse a step.
    g_recorder.notifyAnswer = TRUE;
    Press(list, VK_LEFT);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    g_recorder.notifyAnswer = 0;

    // From no choice at all, right takes the first row and left the last.
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    Press(list, VK_RIGHT);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 0);
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    Press(list, VK_LEFT);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);

    // Up and down are the dialog's, to move between fields; left and right stay the spinner's.
    auto wants = [&](WPARAM vk) {
        MSG key{list, WM_KEYDOWN, vk, 0, 0, {}};
        return (SendMessageW(list, WM_GETDLGCODE, vk, reinterpret_cast<LPARAM>(&key)) & DLGC_WANTARROWS) != 0;
    };
    EXPECT_FALSE(wants(VK_DOWN));
    EXPECT_FALSE(wants(VK_UP));
    EXPECT_TRUE(wants(VK_RIGHT));

    // Destroying the spinner gives the list its own keys back.
    DestroyWindow(spinner);
    Press(list, VK_RIGHT);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 2);
    Press(list, VK_UP);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), 1);
    EXPECT_TRUE(wants(VK_DOWN));
}
