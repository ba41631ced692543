// The edit control as the user types into it.
#include "ControlHost.h"

using control_host::ControlTest;
using control_host::g_recorder;

namespace {

class EditControl : public ControlTest {};

} // namespace

TEST_F(EditControl, TypingInsertsAtTheCaretAndBackspaceDeletesBeforeItReportingEachChange)
{
    HWND edit = Create(TEXT("Edit"), ES_AUTOHSCROLL, 650);
    ASSERT_NE(edit, nullptr);
    Type(edit, u"Helo");
    EXPECT_EQ(Text(edit), u"Helo");
    EXPECT_EQ(g_recorder.Commands(EN_CHANGE), 4);
    EXPECT_EQ(g_recorder.Of(WM_COMMAND, EN_CHANGE).back().from, edit);

    SendMessageW(edit, EM_SETSEL, 3, 3);
    Type(edit, u"l");
    EXPECT_EQ(Text(edit), u"Hello");
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 4u);
    EXPECT_EQ(end, 4u);

    Type(edit, u"\b");
    EXPECT_EQ(Text(edit), u"Helo");
    SendMessageW(edit, EM_SETSEL, 0, 0);
    Type(edit, u"\b"); // nothing before the caret: nothing changes, nothing is reported
    EXPECT_EQ(Text(edit), u"Helo");
    EXPECT_EQ(g_recorder.Commands(EN_CHANGE), 6);

    // A selection is replaced by what is typed; -1 as the end selects to the end of the text.
    SendMessageW(edit, EM_SETSEL, 1, -1);
    EXPECT_EQ(SendMessageW(edit, EM_GETSEL, 0, 0), MAKELRESULT(1, 4));
    Type(edit, u"i");
    EXPECT_EQ(Text(edit), u"Hi");
    // The arrow keys move the caret; the delete key removes the character after it.
    Press(edit, VK_HOME);
    Press(edit, VK_DELETE);
    EXPECT_EQ(Text(edit), u"i");
    EXPECT_EQ(SendMessageW(edit, EM_GETMODIFY, 0, 0), TRUE);
}

TEST_F(EditControl, TheLimitRefusesTypingButNotTheProgramsOwnText)
{
    HWND edit = Create(TEXT("Edit"), 0, 650);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 32767);
    SendMessageW(edit, EM_LIMITTEXT, 3, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 3);
    Type(edit, u"abcd");
    EXPECT_EQ(Text(edit), u"abc");
    EXPECT_EQ(g_recorder.Commands(EN_CHANGE), 3);
    EXPECT_EQ(g_recorder.Commands(EN_MAXTEXT), 1);

    // Replacing a selection at the limit is allowed: the length doesn't grow.
    SendMessageW(edit, EM_SETSEL, 2, 3);
    Type(edit, u"z");
    EXPECT_EQ(Text(edit), u"abz");

    SetWindowTextW(edit, TEXT("longer than three"));
    EXPECT_EQ(Text(edit), u"longer than three");
    SendMessageW(edit, EM_SETLIMITTEXT, 0, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

TEST_F(EditControl, NumberOnlyAndReadOnlyStylesRefuseTypingAndCanBeChangedAfterCreation)
{
    HWND edit = Create(TEXT("Edit"), 0, 651);
    // The program adds the numbers-only style to a control it already made.
    SetWindowLongW(edit, GWL_STYLE, GetWindowLongW(edit, GWL_STYLE) | ES_NUMBER);
    Type(edit, u"5a5-5");
    EXPECT_EQ(Text(edit), u"555");
    EXPECT_EQ(g_recorder.Commands(EN_CHANGE), 3);

    EXPECT_TRUE(SendMessageW(edit, EM_SETREADONLY, TRUE, 0));
    EXPECT_TRUE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
    Type(edit, u"7\b");
    Press(edit, VK_DELETE);
    EXPECT_EQ(Text(edit), u"555");
    EXPECT_EQ(g_recorder.Commands(EN_CHANGE), 3);
    SetWindowTextW(edit, TEXT("42")); // the program may still set the text
    EXPECT_EQ(Text(edit), u"42");

    SendMessageW(edit, EM_SETREADONLY, FALSE, 0);
    EXPECT_FALSE(GetWindowLongW(edit, GWL_STYLE) & ES_READONLY);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    Type(edit, u"9");
    EXPECT_EQ(Text(edit), u"9");
}

TEST_F(EditControl, SetTextReportsAChangeForOneLineButNotForMultipleLines)
{
    HWND single = Create(TEXT("Edit"), 0, 650);
    HWND multi = Create(TEXT("Edit"), ES_MULTILINE | ES_WANTRETURN, 651);
    SetWindowTextW(single, TEXT("Group"));
    SetWindowTextW(multi, TEXT("a\r\nb"));
    auto changes = g_recorder.Of(WM_COMMAND, EN_CHANGE);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].from, single);
    EXPECT_EQ(SendMessageW(single, EM_GETMODIFY, 0, 0), FALSE);

    // Lines end at CR LF; typing Enter in a multi-line control starts a new line, in a one-line one nothing.
    EXPECT_EQ(SendMessageW(multi, EM_GETLINECOUNT, 0, 0), 2);
    SendMessageW(multi, EM_SETSEL, 4, 4);
    Type(multi, u"\rc");
    EXPECT_EQ(Text(multi), u"a\r\nb\r\nc");
    EXPECT_EQ(SendMessageW(multi, EM_LINEINDEX, 2, 0), 6);
    EXPECT_EQ(SendMessageW(multi, EM_LINEFROMCHAR, 3, 0), 1);
    EXPECT_EQ(SendMessageW(multi, EM_LINEINDEX, 3, 0), -1);
    WCHAR line[8] = {8};
    EXPECT_EQ(SendMessageW(multi, EM_GETLINE, 1, reinterpret_cast<LPARAM>(line)), 1);
    EXPECT_EQ(line[0], u'b');
    Type(multi, u"\b\b"); // the second backspace takes the whole line break
    EXPECT_EQ(Text(multi), u"a\r\nb");
    Type(single, u"\r");
    EXPECT_EQ(Text(single), u"Group");

    EXPECT_EQ(SendMessageW(single, WM_GETDLGCODE, 0, 0), DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS);
    EXPECT_TRUE(SendMessageW(multi, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS);
    MSG down{multi, WM_KEYDOWN, VK_DOWN, 0, 0, {}};
    EXPECT_EQ(SendMessageW(multi, WM_GETDLGCODE, VK_DOWN, reinterpret_cast<LPARAM>(&down)),
              DLGC_WANTCHARS | DLGC_HASSETSEL); // to the next control: lines are not moved between
}

TEST_F(EditControl, FocusChangesAreReportedAndTheInputModeIsKeptForTheProgram)
{
    HWND first = Create(TEXT("Edit"), 0, 650);
    HWND second = Create(TEXT("Edit"), 0, 651);
    SetFocus(first);
    SetFocus(second);
    auto gained = g_recorder.Of(WM_COMMAND, EN_SETFOCUS);
    auto lost = g_recorder.Of(WM_COMMAND, EN_KILLFOCUS);
    ASSERT_EQ(gained.size(), 2u);
    ASSERT_EQ(lost.size(), 1u);
    EXPECT_EQ(lost[0].id, 650);
    EXPECT_EQ(gained[1].id, 651);

    EXPECT_EQ(SendMessageW(first, EM_GETINPUTMODE, 0, FALSE), EIM_TEXT);
    EXPECT_TRUE(SendMessageW(first, EM_SETINPUTMODE, 0, EIM_NUMBERS));
    EXPECT_EQ(SendMessageW(first, EM_GETINPUTMODE, 0, TRUE), EIM_NUMBERS);
    EXPECT_FALSE(SendMessageW(first, EM_SETINPUTMODE, 0, 9));
    EXPECT_EQ(SendMessageW(first, EM_GETINPUTMODE, 0, FALSE), EIM_NUMBERS);
}

TEST_F(EditControl, UndoRestoresTheTextBeforeTheLastChange)
{
    HWND edit = Create(TEXT("Edit"), 0, 650);
    Type(edit, u"ab");
    EXPECT_TRUE(SendMessageW(edit, EM_CANUNDO, 0, 0));
    EXPECT_TRUE(SendMessageW(edit, EM_UNDO, 0, 0));
    EXPECT_EQ(Text(edit), u"a");
    SendMessageW(edit, EM_EMPTYUNDOBUFFER, 0, 0);
    EXPECT_FALSE(SendMessageW(edit, EM_UNDO, 0, 0));
    EXPECT_EQ(Text(edit), u"a");
}

TEST_F(EditControl, CapitalisingEditCapitalisesTheFirstWordOrEveryWord)
{
    INITCOMMONCONTROLSEX init{sizeof init, ICC_CAPEDIT_CLASS};
    ASSERT_TRUE(InitCommonControlsEx(&init));
    HWND name = Create(WC_CAPEDIT, 0, 651);
    ASSERT_NE(name, nullptr);
    Type(name, u"anna maria");
    EXPECT_EQ(Text(name), u"Anna maria");
    SendMessageW(name, CEM_UPCASEALLWORDS, TRUE, 0);
    Type(name, u" lee");
    EXPECT_EQ(Text(name), u"Anna maria Lee");
    SendMessageW(name, CEM_ENABLEUPCASE, FALSE, 0);
    Type(name, u" x");
    EXPECT_EQ(Text(name), u"Anna maria Lee x");

    HWND plain = Create(TEXT("Edit"), ES_UPPERCASE, 652);
    Type(plain, u"sms");
    EXPECT_EQ(Text(plain), u"SMS");
}

TEST_F(EditControl, BackKeyHandedOnByTheDialogDeletesAndAPressAndHoldEmptiesTheField)
{
    HWND edit = Create(TEXT("Edit"), 0, 650);
    Type(edit, u"0123");
    SendMessageW(edit, WM_HOTKEY, 2, MAKELPARAM(0, VK_TBACK));
    EXPECT_EQ(Text(edit), u"012");
    SendMessageW(edit, WM_HOTKEY, 2, MAKELPARAM(MOD_KEYUP, VK_TBACK)); // the release
    SendMessageW(edit, WM_HOTKEY, 2, MAKELPARAM(0, VK_TSOFT1));         // another key
    EXPECT_EQ(Text(edit), u"012");
    SendMessageW(edit, WM_HOTKEY, 2, MAKELPARAM(MOD_HOLD, VK_TBACK));
    EXPECT_EQ(Text(edit), u"");
    EXPECT_EQ(g_recorder.Commands(EN_CHANGE), 6);
}
