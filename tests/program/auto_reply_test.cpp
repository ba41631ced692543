// How the auto-reply screens look: the caller and the countdown of the warning in their colours and in
// bold, and the blue counter of the settings screen.
#include "program/ProgramTesting.h"

#include "app/MainWindow.h"
#include "automation/Automation.h"
#include "gdi/Drawing.h"

#include "ids.h"

#include <regext.h>

#include <gtest/gtest.h>

using namespace device::automation;
using namespace program_testing;

namespace {

// The text drawn for a control, with the colours and font it was drawn in.
std::optional<device::TextDrawing> DrawnText(HWND dialog, int id)
{
    for (const device::Drawing& drawing : device::DrawingOf(GetDlgItem(dialog, id)))
        if (auto text = std::get_if<device::TextDrawing>(&drawing.what); text && !text->text.empty())
            return *text;
    return std::nullopt;
}

class AutoReplyLooks : public ProgramTest {};

} // namespace

TEST_F(AutoReplyLooks, TheCallerAndCountdownStandOutAndTheCounterIsBlue)
{
    MarkWelcomeHintShown();
    StoreNumber(u"AREnable", 1);
    const WCHAR state[] = u"System\\State\\Phone";
    ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, state, u"Last Incoming Caller OID", 7), S_OK);
    ASSERT_EQ(RegistrySetString(HKEY_LOCAL_MACHINE, state, u"Last Incoming Caller Name", u"Ann"), S_OK);
    ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, state, u"Last Incoming Caller PropID", 0x0096001F), S_OK);
    ASSERT_EQ(RegistrySetString(HKEY_LOCAL_MACHINE, state, u"Last Incoming Caller Number", u"5550101"), S_OK);
    Start();
    PostMessageW(MainWindow(), WM_MISSED_CALL, 0, 0);
    ASSERT_TRUE(WaitIdle());
    HWND warning = GetForegroundWindow();
    ASSERT_NE(warning, MainWindow());
    std::optional<device::TextDrawing> caller = DrawnText(warning, IDC_CALLER);
    std::optional<device::TextDrawing> countdown = DrawnText(warning, IDC_COUNTDOWN);
    ASSERT_TRUE(caller && countdown);
    EXPECT_EQ(caller->text, u"Ann");
    EXPECT_EQ(caller->textColor, RGB(0, 128, 192));
    EXPECT_EQ(countdown->textColor, RGB(255, 128, 0));
    EXPECT_EQ(caller->font.weight, FW_BOLD);
    EXPECT_EQ(countdown->font.weight, FW_BOLD);
    EXPECT_EQ(DrawnText(warning, IDC_REPLY_NOTE)->textColor, GetSysColor(COLOR_WINDOWTEXT));
    Press(Key::RightSoft); // Cancel

    ASSERT_TRUE(SelectRow(2));
    HWND settings = GetForegroundWindow();
    std::optional<device::TextDrawing> counter = DrawnText(settings, IDC_REPLY_COUNTER);
    ASSERT_TRUE(counter);
    EXPECT_EQ(counter->textColor, RGB(0, 0, 255));
    ASSERT_TRUE(ChooseMenuItem(u"Cancel"));
    EXPECT_EQ(Exit(), 18);
}
