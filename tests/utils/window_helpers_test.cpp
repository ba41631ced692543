// The dialogs' small helpers: a list box filled from resource strings, a date-time picker without seconds
// in the user's locale, and the "n/m" counter.
#include "utils/UtilsLibrary.h"

#include "PickerFormat.h"
#include "device/DataFile.h"
#include "support/TempDevice.h"

#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace utils_exports;
using namespace utils_testing;
using testing_support::DeviceOptions;

namespace {

// A window holding one control of the class asked for, as a dialog would.
class ControlWindow {
public:
    ControlWindow(const char16_t* controlClass, DWORD style)
    {
        INITCOMMONCONTROLSEX init{sizeof init, ICC_DATE_CLASSES};
        InitCommonControlsEx(&init);
        m_parent = CreateWindowExW(0, u"STATIC", u"Helpers", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr,
                                   nullptr, nullptr);
        m_control = CreateWindowExW(0, controlClass, u"", WS_CHILD | WS_VISIBLE | style, 0, 0, 200, 100, m_parent,
                                    reinterpret_cast<HMENU>(100), nullptr, nullptr);
        EXPECT_NE(m_control, nullptr);
    }
    ~ControlWindow() { DestroyWindow(m_parent); }
    HWND Control() const { return m_control; }

private:
    HWND m_parent = nullptr;
    HWND m_control = nullptr;
};

std::u16string Text(HWND window)
{
    WCHAR text[128] = {};
    GetWindowTextW(window, text, 128);
    return text;
}

std::vector<std::u16string> Rows(HWND list)
{
    std::vector<std::u16string> rows;
    int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        WCHAR text[128] = {};
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text));
        rows.push_back(text);
    }
    return rows;
}

int Selected(HWND list) { return static_cast<int>(SendMessageW(list, LB_GETCURSEL, 0, 0)); }

SYSTEMTIME Afternoon()
{
    SYSTEMTIME time{};
    time.wYear = 2008;
    time.wMonth = 6;
    time.wDay = 15;
    time.wHour = 14;
    time.wMinute = 5;
    time.wSecond = 30;
    return time;
}

DeviceOptions WithLocale(const char* locale)
{
    DeviceOptions options;
    options.profile.locale = locale;
    return options;
}

class WindowHelpers : public ::testing::Test {
protected:
    void SetUp() override
    {
        DWORD error = 0;
        m_strings = device::OpenDataFile(std::filesystem::path(TEST_RESOURCE_DIR) / "utils_strings.dll", &error);
        ASSERT_NE(m_strings, nullptr) << error;
    }
    void TearDown() override { device::ReleaseDataFile(m_strings); }

    testing_support::TempDevice m_device;
    UtilsLibrary m_utils;
    HMODULE m_strings = nullptr;
};

} // namespace

TEST_F(WindowHelpers, TheListTakesTheStringsFromFirstToLastAndTheSelection)
{
    auto fill = m_utils.Export<FillListFromResourcesFn>(kFillListFromResources);
    ControlWindow window(u"LISTBOX", 0);
    HWND list = window.Control();

    fill(list, m_strings, 700, 703, 2);
    EXPECT_EQ(Rows(list), (std::vector<std::u16string>{u"Never", u"After 1 minute", u"After 5 minutes",
                                                       u"After 1 hour"}));
    EXPECT_EQ(Selected(list), 2);

    // A first id above the last adds nothing, and the selection still moves.
    fill(list, m_strings, 703, 700, 0);
    EXPECT_EQ(Rows(list).size(), 4u);
    EXPECT_EQ(Selected(list), 0);

    // -1 leaves the selection alone; an id without a string adds no row.
    fill(list, m_strings, 703, 705, -1);
    EXPECT_EQ(Rows(list).size(), 6u);
    EXPECT_EQ(Rows(list)[5], u"After 1 day");
    EXPECT_EQ(Selected(list), 0);
}

TEST_F(WindowHelpers, ThePickerShowsTheShortDateAndTheTimeWithoutSecondsInEnglish)
{
    auto setPicker = m_utils.Export<SetPickerDateTimeFn>(kSetPickerDateTime);
    ControlWindow window(DATETIMEPICK_CLASSW, DTS_UPDOWN);
    SYSTEMTIME time = Afternoon();
    ASSERT_EQ(setPicker(window.Control(), &time), S_OK);
    EXPECT_EQ(Text(window.Control()), u"6/15/2008 2:05 PM"); // from M/d/yyyy and h:mm:ss tt
    SYSTEMTIME shown{};
    EXPECT_EQ(SendMessageW(window.Control(), DTM_GETSYSTEMTIME, 0, reinterpret_cast<LPARAM>(&shown)), GDT_VALID);
    EXPECT_EQ(shown.wHour, 14);
    EXPECT_EQ(shown.wMinute, 5);

    EXPECT_EQ(setPicker(window.Control(), nullptr), E_OUTOFMEMORY);
    EXPECT_EQ(setPicker(nullptr, &time), E_FAIL);
    SYSTEMTIME impossible = time;
    impossible.wMonth = 13;
    EXPECT_EQ(setPicker(window.Control(), &impossible), E_FAIL);
    EXPECT_EQ(Text(window.Control()), u"6/15/2008 2:05 PM");
}

TEST(PickerOnAGermanDevice, ThePickerShowsTheShortDateAndTheTwentyFourHourTimeWithoutSeconds)
{
    testing_support::TempDevice device(WithLocale("de_DE"));
    UtilsLibrary utils;
    ControlWindow window(DATETIMEPICK_CLASSW, DTS_UPDOWN);
    SYSTEMTIME time = Afternoon();
    ASSERT_EQ(utils.Export<SetPickerDateTimeFn>(kSetPickerDateTime)(window.Control(), &time), S_OK);
    EXPECT_EQ(Text(window.Control()), u"15.06.2008 14:05"); // from dd.MM.yyyy and HH:mm:ss
}

// No device locale has a time format without seconds, so the shortening is also tried on its own.
TEST(PickerFormat, SecondsGoWithTheSeparatorBeforeThemAndEverythingElseStays)
{
    auto shortened = [](std::u16string picture) {
        RemoveSeconds(picture.data());
        return std::u16string(picture.c_str());
    };
    EXPECT_EQ(shortened(u"h:mm:ss tt"), u"h:mm tt");
    EXPECT_EQ(shortened(u"HH:mm:ss"), u"HH:mm");
    EXPECT_EQ(shortened(u"tt hh.mm.ss"), u"tt hh.mm");
    EXPECT_EQ(shortened(u"HH:mm"), u"HH:mm");
    EXPECT_EQ(shortened(u"ss:mm"), u":mm");     // nothing before the first s to drop
    EXPECT_EQ(shortened(u"H:mm:s S"), u"H:mm S"); // an upper-case S is no seconds field
    EXPECT_EQ(shortened(u""), u"");
}

TEST_F(WindowHelpers, TheCounterShowsBothNumbersAndAFormattingFailureIsReturned)
{
    auto setCounter = m_utils.Export<SetCounterTextFn>(kSetCounterText);
    ControlWindow window(u"STATIC", 0);
    ASSERT_EQ(setCounter(window.Control(), 42, 160), S_OK);
    EXPECT_EQ(Text(window.Control()), u"42/160");
    ASSERT_EQ(setCounter(window.Control(), -1, 0), S_OK);
    EXPECT_EQ(Text(window.Control()), u"-1/0");
    // Nineteen characters at most: the text is cut and the formatting's failure returned.
    EXPECT_EQ(setCounter(window.Control(), 1234567890, 1234567890), STRSAFE_E_INSUFFICIENT_BUFFER);
    EXPECT_EQ(Text(window.Control()), u"1234567890/12345678");
    EXPECT_EQ(setCounter(nullptr, 1, 2), E_FAIL);
}
