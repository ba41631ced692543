#include "PoomTesting.h"

#include <aygshell.h>
#include <commctrl.h>
#include <windows.h>

#include "pimstore/ContactsDevice.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using namespace poom_testing;
namespace contacts = device::contacts;

namespace {

constexpr UINT kRunScript = WM_APP + 1;
constexpr CEOID kUntouched = 0xDEAD;
const CEPROPID kTextMessaging[] = {PIMPR_ALL_TEXT_MESSAGING};

// What a test does once the chooser is on screen, run by the owner window from inside the chooser's loop.
std::function<void(HWND chooser)> g_script;

LRESULT CALLBACK OwnerProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == kRunScript && g_script) {
        g_script(GetActiveWindow());
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// A key as the phone's keypad gives it: to whatever has the keyboard.
void Press(UINT vk)
{
    HWND target = GetFocus();
    PostMessageW(target, WM_KEYDOWN, vk, 1);
    PostMessageW(target, WM_KEYUP, vk, static_cast<LPARAM>(0xC0000001));
}

std::u16string RowText(HWND list, int row, int column)
{
    WCHAR text[128] = {};
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 128;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return text;
}

std::u16string SoftKeyLabel(HWND bar, UINT command)
{
    WCHAR text[64] = {};
    TBBUTTONINFOW info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_TEXT;
    info.pszText = text;
    info.cchText = 64;
    return SendMessageW(bar, TB_GETBUTTONINFOW, command, reinterpret_cast<LPARAM>(&info)) < 0 ? u"(none)" : text;
}

class Chooser : public testing::Test {
protected:
    void SetUp() override
    {
        WNDCLASSW owner{};
        owner.lpfnWndProc = OwnerProc;
        owner.lpszClassName = u"ChooserTestOwner";
        RegisterClassW(&owner);
        m_owner = CreateWindowExW(0, u"ChooserTestOwner", u"Owner", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr,
                                  nullptr, nullptr);
        ASSERT_NE(m_owner, nullptr);
    }
    void TearDown() override
    {
        g_script = nullptr;
        DestroyWindow(m_owner);
        UnregisterClassW(u"ChooserTestOwner", nullptr);
    }

    // The request device code makes: one required property, every other field 0.
    CHOOSECONTACT Request(DWORD flags = 0)
    {
        CHOOSECONTACT request{};
        request.cbSize = sizeof request;
        request.hwndOwner = m_owner;
        request.dwFlags = flags;
        request.cRequiredProperties = 1;
        request.rgpropidRequiredProperties = kTextMessaging;
        request.oidContactID = kUntouched;
        return request;
    }

    HRESULT Choose(CHOOSECONTACT& request, std::function<void(HWND chooser)> script)
    {
        g_script = std::move(script);
        PostMessageW(m_owner, kRunScript, 0, 0);
        HRESULT hr = ChooseContact(&request);
        MSG left;
        while (PeekMessageW(&left, m_owner, kRunScript, kRunScript, PM_REMOVE)) {
        }
        return hr;
    }

    testing_support::TempDevice m_device;
    HWND m_owner = nullptr;
};

} // namespace

TEST_F(Chooser, ShowsOnlyContactsWithAMobileNumberInFilingOrderFullScreenWithSelectAndCancel)
{
    contacts::Add(u"Carl", u"555 0303");
    contacts::Add(u"Ann", u"555 0101");
    contacts::Add(u"Bob", u"");
    contacts::Add(u"dora", u"555 0404");

    CHOOSECONTACT request = Request();
    std::vector<std::u16string> rows, numbers;
    std::u16string title, left, right;
    RECT shown{};
    HRESULT hr = Choose(request, [&](HWND chooser) {
        HWND list = GetFocus();
        int count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
        for (int row = 0; row < count; ++row) {
            rows.push_back(RowText(list, row, 0));
            numbers.push_back(RowText(list, row, 1));
        }
        WCHAR caption[64] = {};
        GetWindowTextW(chooser, caption, 64);
        title = caption;
        GetWindowRect(chooser, &shown);
        HWND bar = SHFindMenuBar(chooser);
        left = SoftKeyLabel(bar, IDOK);
        right = SoftKeyLabel(bar, IDCANCEL);
        Press(VK_TBACK);
    });

    EXPECT_EQ(hr, E_ABORT);
    EXPECT_EQ(rows, (std::vector<std::u16string>{u"Ann", u"Carl", u"dora"}));
    EXPECT_EQ(numbers, (std::vector<std::u16string>{u"555 0101", u"555 0303", u"555 0404"}));
    EXPECT_EQ(title, u"Select a Contact");
    EXPECT_EQ(shown.right - shown.left, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(left, u"Select");
    EXPECT_EQ(right, u"Cancel");
    EXPECT_EQ(request.oidContactID, kUntouched);
}

TEST_F(Chooser, SelectSoftKeyWritesTheHighlightedContactAndTheMobileProperty)
{
    contacts::Add(u"Ann", u"555 0101");
    uint32_t carl = contacts::Add(u"Carl", u"555 0303");

    CHOOSECONTACT request = Request();
    HRESULT hr = Choose(request, [](HWND) {
        Press(VK_DOWN);
        Press(VK_TSOFT1);
    });

    ASSERT_EQ(hr, S_OK);
    EXPECT_EQ(request.oidContactID, carl);
    EXPECT_EQ(request.propidSelected, PIMPR_MOBILE_TELEPHONE_NUMBER);
    EXPECT_EQ(request.bstrContactName, nullptr); // not asked for
    EXPECT_EQ(request.bstrPropertyValueSelected, nullptr);
}

TEST_F(Chooser, ActionKeyOnARowSelectsItAndReturnsTheTextsAskedFor)
{
    uint32_t ann = contacts::Add(u"Ann", u"555 0101");
    contacts::Add(u"Carl", u"555 0303");

    CHOOSECONTACT request = Request(CCF_RETURNCONTACTNAME | CCF_RETURNPROPERTYVALUE);
    HRESULT hr = Choose(request, [](HWND) { Press(VK_RETURN); });

    ASSERT_EQ(hr, S_OK);
    EXPECT_EQ(request.oidContactID, ann);
    OwnedBstr name(request.bstrContactName), value(request.bstrPropertyValueSelected);
    ASSERT_TRUE(name);
    ASSERT_TRUE(value);
    EXPECT_EQ(Text(name), u"Ann");
    EXPECT_EQ(Text(value), u"555 0101");
}

TEST_F(Chooser, CancelSoftKeyFailsWithAbortAndLeavesTheRecordAlone)
{
    contacts::Add(u"Ann", u"555 0101");
    CHOOSECONTACT request = Request(CCF_RETURNCONTACTNAME);
    HRESULT hr = Choose(request, [](HWND) {
        Press(VK_DOWN);
        Press(VK_TSOFT2);
    });
    EXPECT_EQ(hr, E_ABORT);
    EXPECT_EQ(request.oidContactID, kUntouched);
    EXPECT_EQ(request.propidSelected, 0u);
    EXPECT_EQ(request.bstrContactName, nullptr);
}

TEST_F(Chooser, WithNobodyToOfferSelectIsDisabledAndOnlyCancelEnds)
{
    contacts::Add(u"Bob", u""); // no number: not offered
    CHOOSECONTACT request = Request();
    int rows = -1;
    bool selectEnabled = true;
    HRESULT hr = Choose(request, [&](HWND chooser) {
        rows = static_cast<int>(SendMessageW(GetFocus(), LVM_GETITEMCOUNT, 0, 0));
        selectEnabled = SendMessageW(SHFindMenuBar(chooser), TB_ISBUTTONENABLED, IDOK, 0) != 0;
        Press(VK_TSOFT1); // does nothing
        Press(VK_RETURN);
        Press(VK_TSOFT2);
    });
    EXPECT_EQ(hr, E_ABORT);
    EXPECT_EQ(rows, 0);
    EXPECT_FALSE(selectEnabled);
}

TEST_F(Chooser, RequiredPropertiesDecideWhoIsOffered)
{
    contacts::Add(u"Ann", u"555 0101");
    uint32_t bob = contacts::Add(u"Bob", u"");

    // No required property: everyone, and no property is chosen.
    CHOOSECONTACT everyone = Request();
    everyone.cRequiredProperties = 0;
    everyone.rgpropidRequiredProperties = nullptr;
    int offered = -1;
    HRESULT hr = Choose(everyone, [&](HWND) {
        offered = static_cast<int>(SendMessageW(GetFocus(), LVM_GETITEMCOUNT, 0, 0));
        Press(VK_DOWN);
        Press(VK_TSOFT1);
    });
    ASSERT_EQ(hr, S_OK);
    EXPECT_EQ(offered, 2);
    EXPECT_EQ(everyone.oidContactID, bob);
    EXPECT_EQ(everyone.propidSelected, 0u);

    // A property the store does not keep: nobody.
    const CEPROPID email[] = {PIMPR_ALL_EMAIL};
    CHOOSECONTACT byMail = Request();
    byMail.rgpropidRequiredProperties = email;
    hr = Choose(byMail, [&](HWND) {
        offered = static_cast<int>(SendMessageW(GetFocus(), LVM_GETITEMCOUNT, 0, 0));
        Press(VK_TSOFT2);
    });
    EXPECT_EQ(hr, E_ABORT);
    EXPECT_EQ(offered, 0);
}

TEST_F(Chooser, MalformedOrUnservedRequestsFailWithoutShowingAnything)
{
    contacts::Add(u"Ann", u"555 0101");
    auto expectRefused = [&](CHOOSECONTACT request, HRESULT expected, const char* what) {
        // Should a chooser open after all, the script cancels it and the result tells.
        EXPECT_EQ(Choose(request, [](HWND) { Press(VK_TSOFT2); }), expected) << what;
        EXPECT_EQ(request.oidContactID, kUntouched) << what;
    };
    EXPECT_EQ(ChooseContact(nullptr), E_INVALIDARG);

    CHOOSECONTACT request = Request();
    request.cbSize = 52; // the device's 32-bit record; this host's record is larger
    expectRefused(request, E_INVALIDARG, "32-bit size");
    request = Request();
    request.rgpropidRequiredProperties = nullptr;
    expectRefused(request, E_INVALIDARG, "no property list");
    request = Request();
    request.hwndOwner = reinterpret_cast<HWND>(0x5678);
    expectRefused(request, E_INVALIDARG, "owner is no window");
    expectRefused(Request(CCF_NOUI), E_NOTIMPL, "no user interface");
    expectRefused(Request(CCF_CHOOSEPROPERTYONLY), E_NOTIMPL, "property only");
    request = Request();
    request.lpstrRestrictContacts = u"[FileAs] = \"Ann\"";
    expectRefused(request, E_NOTIMPL, "restriction");
}
