// The contact chooser as the program runs it: on the user-interface thread, driven here as a user would.
#include "utils/UtilsLibrary.h"

#include "automation/Automation.h"
#include "pimstore/ContactsDevice.h"
#include "process/ProcessTesting.h"
#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace utils_exports;
using namespace device::automation;
namespace contacts = device::contacts;

namespace {

constexpr CEOID kUntouched = 0xDEAD;

class ContactChooser : public ::testing::Test {
protected:
    // Runs the export on a thread of its own, as the program's screen does, and waits for the chooser.
    void Open()
    {
        auto pick = m_utils.Export<PickContactFn>(kPickContact);
        m_ui = std::thread([this, pick] {
            HWND owner = CreateWindowExW(0, u"STATIC", u"Owner", WS_VISIBLE, 0, 0, 240, 320, nullptr, nullptr,
                                         nullptr, nullptr);
            m_ownerShown = true;
            m_result = pick(owner, &m_contact);
            DestroyWindow(owner);
        });
        // The screen is read only while its thread waits for input, never while it builds the chooser.
        ASSERT_TRUE(process_testing::Eventually([this] {
            return m_ownerShown && WaitIdle() && TakeSnapshot().title == u"Select a Contact";
        }));
    }
    void Close() { m_ui.join(); }
    void TearDown() override
    {
        if (m_ui.joinable()) {
            Press(Key::RightSoft);
            m_ui.join();
        }
    }

    testing_support::TempDevice m_device;
    utils_testing::UtilsLibrary m_utils;
    std::thread m_ui;
    std::atomic<bool> m_ownerShown = false;
    HRESULT m_result = E_UNEXPECTED;
    CEOID m_contact = kUntouched;
};

} // namespace

TEST_F(ContactChooser, TheChosenRowGivesItsContactAmongThoseWithAMobileNumber)
{
    contacts::Add(u"Ann", u"555 0101");
    contacts::Add(u"Bob", u""); // cannot receive text messages: not offered
    uint32_t carl = contacts::Add(u"Carl", u"555 0303");
    Open();
    ASSERT_TRUE(SelectRow(1));
    Close();
    EXPECT_EQ(m_result, S_OK);
    EXPECT_EQ(m_contact, carl);
}

TEST_F(ContactChooser, CancellingFailsAndLeavesTheContactAlone)
{
    contacts::Add(u"Ann", u"555 0101");
    Open();
    Press(Key::RightSoft);
    Close();
    EXPECT_EQ(m_result, E_ABORT);
    EXPECT_EQ(m_contact, kUntouched);
    EXPECT_EQ(m_utils.Export<PickContactFn>(kPickContact)(nullptr, nullptr), E_INVALIDARG);
}
