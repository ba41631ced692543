// Dialogs, menus and accelerator tables read from a resource library built by the resource compiler.
#include <windows.h>

#include "device/DataFile.h"
#include "support/TempDevice.h"
#include "user/DialogTemplate.h"
#include "user/ModuleResource.h"
#include "user/Window.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <vector>

using testing_support::TempDevice;

namespace {

std::function<BOOL(HWND, UINT, WPARAM, LPARAM)> g_handler;
std::vector<WPARAM> g_commands;

BOOL CALLBACK ResourceDialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    return g_handler ? g_handler(hwnd, msg, wp, lp) : FALSE;
}

LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_COMMAND)
        g_commands.push_back(wp);
    return DefWindowProcW(hwnd, msg, wp, lp);
}

class ResourceLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_handler = nullptr;
        g_commands.clear();
        DWORD error = 0;
        m_module = device::OpenDataFile(std::filesystem::path(TEST_RESOURCE_DIR) / "windowing.dll", &error);
        ASSERT_NE(m_module, nullptr) << "error " << error;
        WNDCLASSW wc{};
        wc.lpfnWndProc = PlainProc;
        wc.lpszClassName = u"TestField";
        RegisterClassW(&wc);
        wc.lpszClassName = u"ResourceOwner";
        RegisterClassW(&wc);
        m_owner = CreateWindowExW(0, u"ResourceOwner", u"owner", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
    }
    void TearDown() override
    {
        g_handler = nullptr;
        DestroyWindow(m_owner);
        UnregisterClassW(u"TestField", nullptr);
        UnregisterClassW(u"ResourceOwner", nullptr);
        device::ReleaseDataFile(m_module);
    }

    TempDevice m_device;
    HMODULE m_module = nullptr;
    HWND m_owner = nullptr;
};

std::u16string TextOf(HWND hwnd)
{
    WCHAR text[64] = {};
    GetWindowTextW(hwnd, text, 64);
    return text;
}

} // namespace

TEST_F(ResourceLibrary, TheCompiledTemplatesReadAsWritten)
{
    device::ResourceBytes plain = device::FindModuleResource(m_module, MAKEINTRESOURCE(100), RT_DIALOG);
    ASSERT_NE(plain.data, nullptr);
    auto dialog = device::ParseDialogTemplate(plain.data, plain.size);
    ASSERT_TRUE(dialog.has_value());
    EXPECT_FALSE(dialog->extended);
    EXPECT_EQ(dialog->title, u"Plain");
    EXPECT_EQ(dialog->x, 4);
    EXPECT_EQ(dialog->y, 6);
    ASSERT_TRUE(dialog->font.has_value());
    EXPECT_EQ(dialog->font->pointSize, 8);
    EXPECT_EQ(dialog->font->face, u"Tahoma");
    ASSERT_EQ(dialog->items.size(), 2u);
    EXPECT_EQ(device::FoldCase(dialog->items[1].className), u"testfield"); // the compiler may capitalise it
    EXPECT_EQ(dialog->items[1].title.name, u"Second");
    EXPECT_EQ(dialog->items[1].y, 20);
    // The compiler makes every control a visible child.
    EXPECT_EQ(dialog->items[1].style & (WS_CHILD | WS_VISIBLE | WS_TABSTOP),
              static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_TABSTOP));

    device::ResourceBytes ex = device::FindModuleResource(m_module, MAKEINTRESOURCE(101), RT_DIALOG);
    auto extended = device::ParseDialogTemplate(ex.data, ex.size);
    ASSERT_TRUE(extended.has_value());
    EXPECT_TRUE(extended->extended);
    EXPECT_EQ(extended->font->weight, 700);
    EXPECT_TRUE(extended->font->italic);
    ASSERT_EQ(extended->items.size(), 1u);
    EXPECT_EQ(extended->items[0].id, 0x12345u);
}

TEST_F(ResourceLibrary, ADialogResourceRunsModallyWithItsControls)
{
    std::u16string title, first;
    bool hasSecond = false;
    g_handler = [&](HWND hwnd, UINT msg, WPARAM, LPARAM lp) -> BOOL {
        if (msg == WM_INITDIALOG) {
            title = TextOf(hwnd);
            first = TextOf(GetDlgItem(hwnd, 601));
            hasSecond = GetDlgItem(hwnd, 602) != nullptr;
            EndDialog(hwnd, lp * 2);
        }
        return FALSE;
    };
    EXPECT_EQ(DialogBoxParamW(m_module, MAKEINTRESOURCE(100), m_owner, ResourceDialogProc, 21), 42);
    EXPECT_EQ(title, u"Plain");
    EXPECT_EQ(first, u"First");
    EXPECT_TRUE(hasSecond);

    HWND modeless = CreateDialogParamW(m_module, MAKEINTRESOURCE(101), m_owner, ResourceDialogProc, 0);
    ASSERT_NE(modeless, nullptr);
    EXPECT_EQ(TextOf(GetDlgItem(modeless, 0x12345)), u"Wide id");
    DestroyWindow(modeless);
}

TEST_F(ResourceLibrary, StandardControlsFillAndConfirmADialog)
{
    std::u16string editClass, labelClass;
    HWND focusAtStart = nullptr, edit = nullptr;
    UINT number = 0, checked = BST_UNCHECKED;
    g_handler = [&](HWND hwnd, UINT msg, WPARAM wp, LPARAM) -> BOOL {
        switch (msg) {
        case WM_INITDIALOG: {
            edit = GetDlgItem(hwnd, 651);
            WCHAR name[32];
            GetClassNameW(edit, name, 32);
            editClass = name;
            GetClassNameW(GetDlgItem(hwnd, 620), name, 32);
            labelClass = name;
            SetDlgItemTextW(hwnd, 651, u"555");
            CheckDlgButton(hwnd, 653, BST_CHECKED);
            PostMessageW(hwnd, WM_APP, 0, 0);
            return TRUE;
        }
        case WM_APP:
            focusAtStart = GetFocus();
            PostMessageW(GetFocus(), WM_KEYDOWN, VK_RETURN, 0); // the action key in the edit control
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wp) == 40) { // the default push button, which Enter chooses
                number = GetDlgItemInt(hwnd, 651, nullptr, FALSE);
                checked = IsDlgButtonChecked(hwnd, 653);
                EndDialog(hwnd, 40);
            }
            return TRUE;
        }
        return FALSE;
    };
    EXPECT_EQ(DialogBoxParamW(m_module, MAKEINTRESOURCE(103), m_owner, ResourceDialogProc, 0), 40);
    EXPECT_EQ(editClass, u"Edit");
    EXPECT_EQ(labelClass, u"Static");
    EXPECT_EQ(focusAtStart, edit); // the first tab stop: the label is none
    EXPECT_EQ(number, 555u);
    EXPECT_EQ(checked, static_cast<UINT>(BST_CHECKED));
}

TEST_F(ResourceLibrary, AMissingTemplateOrControlClassFailsTheDialog)
{
    EXPECT_EQ(DialogBoxParamW(m_module, MAKEINTRESOURCE(102), m_owner, ResourceDialogProc, 0), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_CLASS_DOES_NOT_EXIST));
    EXPECT_EQ(DialogBoxParamW(m_module, MAKEINTRESOURCE(999), m_owner, ResourceDialogProc, 0), -1);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    EXPECT_EQ(CreateDialogParamW(m_module, MAKEINTRESOURCE(999), m_owner, ResourceDialogProc, 0), nullptr);
    EXPECT_TRUE(IsWindowEnabled(m_owner));
}

TEST_F(ResourceLibrary, MenusOfBothFormatsLoad)
{
    HMENU plain = LoadMenuW(m_module, MAKEINTRESOURCE(200));
    ASSERT_NE(plain, nullptr);
    HMENU popup = GetSubMenu(plain, 0);
    ASSERT_EQ(GetMenuItemCount(popup), 5);
    EXPECT_EQ(GetMenuItemID(popup, 0), 100u);
    EXPECT_TRUE(GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(GetMenuState(plain, 101, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(plain, 102, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(GetMenuItemID(GetSubMenu(popup, 4), 0), 103u);
    DestroyMenu(plain);

    HMENU extended = LoadMenuW(m_module, MAKEINTRESOURCE(201));
    ASSERT_NE(extended, nullptr);
    popup = GetSubMenu(extended, 0);
    ASSERT_EQ(GetMenuItemCount(popup), 4);
    EXPECT_TRUE(GetMenuState(popup, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(GetMenuState(extended, 101, MF_BYCOMMAND) & MF_GRAYED);
    MENUITEMINFOW info{sizeof info};
    info.fMask = MIIM_TYPE | MIIM_STATE;
    ASSERT_TRUE(GetMenuItemInfoW(extended, 102, FALSE, &info));
    EXPECT_TRUE(info.fType & MFT_RADIOCHECK);
    EXPECT_TRUE(info.fState & MFS_CHECKED);
    DestroyMenu(extended);

    EXPECT_EQ(LoadMenuW(m_module, MAKEINTRESOURCE(999)), nullptr);
}

TEST_F(ResourceLibrary, AnAcceleratorTableTranslatesItsKeys)
{
    HACCEL table = LoadAcceleratorsW(m_module, MAKEINTRESOURCE(300));
    ASSERT_NE(table, nullptr);
    MSG f1{m_owner, WM_KEYDOWN, VK_F1, 0, 0, {}};
    MSG q{m_owner, WM_CHAR, 'q', 0, 0, {}};
    MSG enter{m_owner, WM_KEYDOWN, VK_RETURN, 0, 0, {}};
    MSG other{m_owner, WM_KEYDOWN, VK_F2, 0, 0, {}};
    EXPECT_NE(TranslateAcceleratorW(m_owner, table, &f1), 0);
    EXPECT_NE(TranslateAcceleratorW(m_owner, table, &q), 0);
    EXPECT_NE(TranslateAcceleratorW(m_owner, table, &enter), 0);
    EXPECT_EQ(TranslateAcceleratorW(m_owner, table, &other), 0);
    std::vector<WPARAM> expected{MAKEWPARAM(501, 1), MAKEWPARAM(503, 1), MAKEWPARAM(504, 1)};
    EXPECT_EQ(g_commands, expected);
    DestroyAcceleratorTable(table);
    EXPECT_EQ(LoadAcceleratorsW(m_module, MAKEINTRESOURCE(999)), nullptr);
}
