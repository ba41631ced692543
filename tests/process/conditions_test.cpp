// The conditions a notification puts on a changed value, and notifications within one process.
#include "process/ProcessTesting.h"
#include "support/RegistryKey.h"

#include "notify/Condition.h"

#include <regext.h>

#include <cstring>
#include <vector>

using device::notify::Condition;
using device::notify::ConditionFrom;
using device::notify::Passes;
using device::registry::Value;

namespace {

Value Dword(DWORD number)
{
    Value value{u"v", REG_DWORD, std::vector<uint8_t>(4)};
    std::memcpy(value.data.data(), &number, 4);
    return value;
}

Value Text(const std::u16string& text)
{
    Value value{u"v", REG_SZ, std::vector<uint8_t>((text.size() + 1) * 2)};
    std::memcpy(value.data.data(), text.c_str(), value.data.size());
    return value;
}

Condition Number(REG_COMPARISONTYPE type, DWORD mask, DWORD target)
{
    NOTIFICATIONCONDITION given{type, mask, {}};
    given.TargetValue.dw = target;
    Condition condition;
    EXPECT_TRUE(ConditionFrom(&given, &condition));
    return condition;
}

Condition Words(REG_COMPARISONTYPE type, const char16_t* target)
{
    NOTIFICATIONCONDITION given{type, 0, {}};
    given.TargetValue.psz = target;
    Condition condition;
    EXPECT_TRUE(ConditionFrom(&given, &condition));
    return condition;
}

} // namespace

TEST(NotificationConditions, NumbersAreMaskedThenComparedWithoutSign)
{
    Value value = Dword(0x1F0);
    EXPECT_TRUE(Passes(Number(REG_CT_GREATER, 0xFFFFFFFF, 0), &value));
    EXPECT_TRUE(Passes(Number(REG_CT_GREATER, 0xF0, 0xE0), &value));  // 0xF0 > 0xE0
    EXPECT_FALSE(Passes(Number(REG_CT_GREATER, 0x0F, 0x00), &value)); // masked to 0
    EXPECT_TRUE(Passes(Number(REG_CT_EQUAL, 0xF00, 0x100), &value));
    EXPECT_FALSE(Passes(Number(REG_CT_NOT_EQUAL, 0xF00, 0x100), &value));
    EXPECT_TRUE(Passes(Number(REG_CT_GREATER_OR_EQUAL, 0xFFFFFFFF, 0x1F0), &value));
    EXPECT_FALSE(Passes(Number(REG_CT_LESS, 0xFFFFFFFF, 0x1F0), &value));
    EXPECT_TRUE(Passes(Number(REG_CT_LESS_OR_EQUAL, 0xFFFFFFFF, 0x1F0), &value));
    Value huge = Dword(0x80000000);
    EXPECT_TRUE(Passes(Number(REG_CT_GREATER, 0xFFFFFFFF, 1), &huge));
    // The missed-call condition: comparison type 3 is "greater than".
    EXPECT_EQ(REG_CT_GREATER, 3);
    Value zero = Dword(0);
    EXPECT_FALSE(Passes(Number(REG_CT_GREATER, 0xFFFFFFFF, 0), &zero));
}

TEST(NotificationConditions, TextsCompareAsDocumented)
{
    Value value = Text(u"Incoming Call");
    EXPECT_TRUE(Passes(Words(REG_CT_EQUAL, u"Incoming Call"), &value));
    EXPECT_FALSE(Passes(Words(REG_CT_EQUAL, u"incoming call"), &value));
    EXPECT_TRUE(Passes(Words(REG_CT_NOT_EQUAL, u"Missed Call"), &value));
    EXPECT_TRUE(Passes(Words(REG_CT_CONTAINS, u"ing C"), &value));
    EXPECT_FALSE(Passes(Words(REG_CT_CONTAINS, u"ing c"), &value));
    EXPECT_TRUE(Passes(Words(REG_CT_STARTS_WITH, u"Incoming"), &value));
    EXPECT_FALSE(Passes(Words(REG_CT_STARTS_WITH, u"Call"), &value));
    EXPECT_TRUE(Passes(Words(REG_CT_ENDS_WITH, u"Call"), &value));
    // Order comparisons ignore case.
    EXPECT_TRUE(Passes(Words(REG_CT_GREATER, u"incoming a"), &value));
    EXPECT_FALSE(Passes(Words(REG_CT_GREATER, u"INCOMING CALL"), &value));
    EXPECT_TRUE(Passes(Words(REG_CT_GREATER_OR_EQUAL, u"INCOMING CALL"), &value));
    EXPECT_TRUE(Passes(Words(REG_CT_LESS, u"j"), &value));
}

TEST(NotificationConditions, KindsThatDoNotMatchFailAndOtherTypesPassWithoutComparison)
{
    Value number = Dword(5), text = Text(u"5");
    Value binary{u"v", REG_BINARY, {1, 2}};
    EXPECT_FALSE(Passes(Words(REG_CT_EQUAL, u"5"), &number)); // a mask of 0 makes the target a text
    EXPECT_FALSE(Passes(Number(REG_CT_EQUAL, 0xFFFFFFFF, 5), &text));
    EXPECT_TRUE(Passes(Number(REG_CT_EQUAL, 0xFFFFFFFF, 7), &binary));
    // A deleted value passes only "any change".
    EXPECT_FALSE(Passes(Number(REG_CT_NOT_EQUAL, 0xFFFFFFFF, 5), nullptr));
    EXPECT_TRUE(Passes(Number(REG_CT_ANYCHANGE, 0, 0), nullptr));
    // No condition is any change.
    Condition none;
    EXPECT_TRUE(ConditionFrom(nullptr, &none));
    EXPECT_TRUE(Passes(none, &number));
    // Text comparisons on numbers, unknown types and missing target texts are refused.
    NOTIFICATIONCONDITION bad{REG_CT_STARTS_WITH, 1, {}};
    EXPECT_FALSE(ConditionFrom(&bad, &none));
    bad = NOTIFICATIONCONDITION{static_cast<REG_COMPARISONTYPE>(10), 1, {}};
    EXPECT_FALSE(ConditionFrom(&bad, &none));
    bad = NOTIFICATIONCONDITION{REG_CT_EQUAL, 0, {}};
    bad.TargetValue.psz = nullptr;
    EXPECT_FALSE(ConditionFrom(&bad, &none));
}

namespace {

class InProcess : public ::testing::Test {
protected:
    InProcess()
    {
        WNDCLASSW wc{};
        wc.lpfnWndProc = DefWindowProcW;
        wc.lpszClassName = u"NotifiedHere";
        RegisterClassW(&wc);
        m_window = CreateWindowExW(0, u"NotifiedHere", u"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    }
    ~InProcess() override
    {
        DestroyWindow(m_window);
        UnregisterClassW(u"NotifiedHere", nullptr);
    }

    // The notifications waiting in this thread's queue, as (wParam, lParam).
    std::vector<std::pair<WPARAM, LPARAM>> Taken(UINT message)
    {
        std::vector<std::pair<WPARAM, LPARAM>> taken;
        MSG msg;
        while (PeekMessageW(&msg, m_window, message, message, PM_REMOVE))
            taken.emplace_back(msg.wParam, msg.lParam);
        return taken;
    }

    testing_support::TempDevice m_device;
    HWND m_window = nullptr;
};

std::vector<std::pair<WPARAM, LPARAM>> Pairs(std::initializer_list<std::pair<WPARAM, LPARAM>> pairs) { return pairs; }

} // namespace

TEST_F(InProcess, AWindowNotificationPostsEveryQualifyingChangeUntilItIsClosed)
{
    NOTIFICATIONCONDITION above{REG_CT_GREATER, 0xFF, {}};
    above.TargetValue.dw = 1;
    HREGNOTIFY notification = nullptr;
    ASSERT_EQ(RegistryNotifyWindow(HKEY_LOCAL_MACHINE, u"System\\State\\Test", u"Level", m_window, WM_APP, 7, &above,
                                   &notification),
              S_OK);
    // The key did not exist yet: the first write creates it, and counts.
    ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, u"System\\State\\Test", u"Level", 0x102), S_OK); // 0x02 > 1
    ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, u"System\\State\\Test", u"Level", 0x201), S_OK); // 0x01: no
    ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, u"System\\State\\Test", u"LEVEL", 0x305), S_OK);
    EXPECT_EQ(Taken(WM_APP), Pairs({{0x102, 7}, {0x305, 7}}));
    ASSERT_EQ(RegistryCloseNotification(notification), S_OK);
    EXPECT_EQ(RegistryCloseNotification(notification), E_NOT_FOUND);
    ASSERT_EQ(RegistrySetDWORD(HKEY_LOCAL_MACHINE, u"System\\State\\Test", u"Level", 0x406), S_OK);
    EXPECT_TRUE(Taken(WM_APP).empty());
}

TEST_F(InProcess, ADeletedValueIsAChangeWithNoValue)
{
    HREGNOTIFY notification = nullptr;
    ASSERT_EQ(RegistrySetString(HKEY_CURRENT_USER, u"Software\\Here", nullptr, u"text"), S_OK);
    ASSERT_EQ(RegistryNotifyWindow(HKEY_CURRENT_USER, u"Software\\Here", nullptr, m_window, WM_APP, 0, nullptr,
                                   &notification),
              S_OK);
    testing_support::RegistryKey key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, u"Software\\Here", 0, 0, key.Out()), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueW(key, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(Taken(WM_APP), Pairs({{0, 0}}));
}

TEST_F(InProcess, AWindowNotificationEndsWithItsWindowAndNeedsOne)
{
    HREGNOTIFY notification = nullptr;
    EXPECT_EQ(RegistryNotifyWindow(HKEY_CURRENT_USER, u"Software\\Here", u"x", nullptr, WM_APP, 0, nullptr,
                                   &notification),
              E_INVALIDARG);
    EXPECT_EQ(RegistryNotifyWindow(HKEY_CURRENT_USER, u"Software\\Here", u"x", m_window, WM_APP, 0, nullptr, nullptr),
              E_INVALIDARG);
    ASSERT_EQ(RegistryNotifyWindow(HKEY_CURRENT_USER, u"Software\\Here", u"x", m_window, WM_APP, 0, nullptr,
                                   &notification),
              S_OK);
    DestroyWindow(m_window);
    m_window = nullptr;
    EXPECT_EQ(RegistryCloseNotification(notification), E_NOT_FOUND);
}

namespace {

std::vector<std::vector<uint8_t>> g_called;
std::vector<bool> g_deleted;

void Remember(HREGNOTIFY, DWORD userData, const PBYTE data, const UINT size)
{
    g_called.emplace_back(data, data + size);
    g_deleted.push_back(data == nullptr);
    EXPECT_EQ(userData, 99u);
}

} // namespace

TEST_F(InProcess, ACallbackRunsAtTheWriteWithTheNewData)
{
    g_called.clear();
    g_deleted.clear();
    HREGNOTIFY notification = nullptr;
    NOTIFICATIONCONDITION starts{REG_CT_STARTS_WITH, 0, {}};
    starts.TargetValue.psz = u"Ab";
    ASSERT_EQ(RegistryNotifyCallback(HKEY_CURRENT_USER, u"Software\\Here", u"Name", Remember, 99, &starts,
                                     &notification),
              S_OK);
    ASSERT_EQ(RegistrySetString(HKEY_CURRENT_USER, u"Software\\Here", u"Name", u"Abc"), S_OK);
    ASSERT_EQ(RegistrySetString(HKEY_CURRENT_USER, u"Software\\Here", u"Name", u"Xbc"), S_OK);
    ASSERT_EQ(g_called.size(), 1u);
    EXPECT_EQ(g_called[0], (std::vector<uint8_t>{'A', 0, 'b', 0, 'c', 0, 0, 0}));
    EXPECT_FALSE(g_deleted[0]);
    EXPECT_EQ(RegistryCloseNotification(notification), S_OK);
    ASSERT_EQ(RegistrySetString(HKEY_CURRENT_USER, u"Software\\Here", u"Name", u"Abd"), S_OK);
    EXPECT_EQ(g_called.size(), 1u);
}

TEST(StateHelpers, TypedValuesRoundTripAndTheWrongTypeOrRoomIsRefused)
{
    testing_support::TempDevice device;
    ASSERT_EQ(RegistrySetDWORD(HKEY_CURRENT_USER, u"System\\State\\Mine", u"Level", 7), S_OK); // key made
    ASSERT_EQ(RegistrySetString(HKEY_CURRENT_USER, u"System\\State\\Mine", u"Name", u"seven"), S_OK);
    DWORD level = 0;
    EXPECT_EQ(RegistryGetDWORD(HKEY_CURRENT_USER, u"System\\State\\Mine", u"Level", &level), S_OK);
    EXPECT_EQ(level, 7u);
    WCHAR name[6] = u"xxxxx";
    EXPECT_EQ(RegistryGetString(HKEY_CURRENT_USER, u"System\\State\\Mine", u"Name", name, 6), S_OK);
    EXPECT_EQ(std::u16string(name), u"seven");
    EXPECT_EQ(RegistryGetString(HKEY_CURRENT_USER, u"System\\State\\Mine", u"Name", name, 5),
              HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(name[0], 0);
    EXPECT_EQ(RegistryGetDWORD(HKEY_CURRENT_USER, u"System\\State\\Mine", u"Name", &level),
              HRESULT_FROM_WIN32(ERROR_INVALID_DATATYPE));
    EXPECT_EQ(RegistryGetString(HKEY_CURRENT_USER, u"System\\State\\Mine", u"Level", name, 6),
              HRESULT_FROM_WIN32(ERROR_INVALID_DATATYPE));
    EXPECT_EQ(RegistryGetDWORD(HKEY_CURRENT_USER, u"System\\State\\Mine", u"Missing", &level),
              HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(RegistryGetDWORD(HKEY_CURRENT_USER, u"System\\State\\Nowhere", u"Level", &level),
              HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(level, 7u); // untouched by the failures
}
