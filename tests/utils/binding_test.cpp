// The program's run-time binding of the helper library: bound on first use when the library is there,
// every call a quiet failure when it is not.
#include "utils/UtilsLibrary.h"

#include "app/Binding.h"
#include "app/Program.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

using namespace utils_exports;

namespace {

class Binding : public ::testing::Test {
protected:
    Binding() { g_program.binding = {}; }
    ~Binding() override
    {
        if (g_program.binding.utils)
            FreeLibrary(g_program.binding.utils);
        g_program.binding = {};
    }

    static HWND ListBox()
    {
        return CreateWindowExW(0, u"LISTBOX", u"", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    }

    testing_support::TempDevice m_device;
};

} // namespace

TEST_F(Binding, WithTheLibraryBesideTheProgramEachCallGoesThroughAndBindsOnlyWhatItUses)
{
    utils_testing::UtilsLibrary installed;
    WCHAR guid[39];
    ASSERT_EQ(utils::MakeGuidString(guid, 39), S_OK);
    EXPECT_EQ(guid[0], u'{');
    EXPECT_EQ(utils::MakeGuidString(guid, 38), E_OUTOFMEMORY);
    WCHAR number[256];
    ASSERT_EQ(utils::GetOwnNumber(number, 256, 1), S_OK);
    EXPECT_EQ(std::u16string(number), u"+15550100");
    HWND list = ListBox();
    utils::FillListFromResources(list, nullptr, 2, 1, -1); // reaches the library, adds nothing
    ASSERT_EQ(utils::SetCounterText(list, 3, 160), S_OK);
    WCHAR text[20] = {};
    GetWindowTextW(list, text, 20);
    EXPECT_EQ(std::u16string(text), u"3/160");
    DestroyWindow(list);

    const BindingSlots& slots = g_program.binding;
    EXPECT_EQ(slots.utils, installed.Module()); // the one copy loaded in the process
    for (WORD ordinal : {kMakeGuidString, kGetOwnNumber, kFillListFromResources, kSetCounterText})
        EXPECT_NE(slots.utilsEntries[ordinal - 1], nullptr) << ordinal;
    for (WORD ordinal : {kComposeSms, kPickContact, kEmptyFolders})
        EXPECT_EQ(slots.utilsEntries[ordinal - 1], nullptr) << ordinal;
}

TEST_F(Binding, WithoutTheLibraryEveryCallFailsAndTheListIsLeftAlone)
{
    utils_testing::UtilsLibrary missing(false);
    WCHAR buffer[MAX_PATH] = u"untouched";
    HANDLE file = nullptr;
    CEOID contact = 7;
    ULONG count = 7;
    SYSTEMTIME time{2008, 6, 0, 15, 14, 5, 0, 0};
    HWND list = ListBox();
    EXPECT_EQ(utils::MakeGuidString(buffer, 39), E_FAIL);
    EXPECT_EQ(utils::GetQuotedModulePath(buffer, MAX_PATH), E_FAIL);
    EXPECT_EQ(utils::ComposeSupportMail(u"Question"), E_FAIL);
    EXPECT_EQ(utils::ComposeMail(u"Subject", u"Body"), E_FAIL);
    EXPECT_EQ(utils::ComposeSms(u"+15550100"), E_FAIL);
    EXPECT_EQ(utils::ComposeMailMessage(nullptr, u"Subject", u"Body", nullptr, 0), E_FAIL);
    utils::FillListFromResources(list, nullptr, 1, 3, 0);
    EXPECT_EQ(utils::RegisterMissedCallNotification(u"Zelkova.MissedCalls", list, 1026), E_FAIL);
    EXPECT_EQ(utils::StopNotification(u"Zelkova.MissedCalls"), E_FAIL);
    EXPECT_EQ(utils::CreateUnicodeFile(u"\\export.csv", &file), E_FAIL);
    EXPECT_EQ(utils::PickContact(list, &contact), E_FAIL);
    EXPECT_EQ(utils::GetFolderMessageCount(nullptr, &count), E_FAIL);
    EXPECT_EQ(utils::EmptyFolders(list, FALSE, nullptr, FALSE, nullptr), E_FAIL);
    EXPECT_EQ(utils::GetOwnNumber(buffer, MAX_PATH, 1), E_FAIL);
    EXPECT_EQ(utils::SetPickerDateTime(list, &time), E_FAIL);
    EXPECT_EQ(utils::SetCounterText(list, 1, 2), E_FAIL);

    EXPECT_EQ(std::u16string(buffer), u"untouched");
    EXPECT_EQ(file, nullptr);
    EXPECT_EQ(contact, 7u);
    EXPECT_EQ(count, 7u);
    EXPECT_EQ(SendMessageW(list, LB_GETCOUNT, 0, 0), 0);
    EXPECT_EQ(SendMessageW(list, LB_GETCURSEL, 0, 0), LB_ERR);
    EXPECT_EQ(GetFileAttributesW(u"\\export.csv"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(g_program.binding.utils, nullptr);
    DestroyWindow(list);
}
