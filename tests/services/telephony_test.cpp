#include <tapi.h>
#include <windows.h>

#include "support/TempDevice.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr DWORD kVersion20 = 0x00020000;
constexpr DWORD kVersion14 = 0x00010004;
constexpr DWORD kNoDevice = 0xFFFFFFFF;

// A session initialised the way device code asks for one: no instance, callback or name, event notification.
class Telephony {
public:
    Telephony()
    {
        m_params.dwTotalSize = sizeof(m_params);
        m_params.dwOptions = LINEINITIALIZEEXOPTION_USEEVENT;
        m_result = lineInitializeEx(&m_app, nullptr, nullptr, nullptr, &m_lines, &m_version, &m_params);
    }
    ~Telephony()
    {
        if (m_result == 0) lineShutdown(m_app);
    }
    LONG Result() const { return m_result; }
    HLINEAPP App() const { return m_app; }
    DWORD Lines() const { return m_lines; }
    DWORD Version() const { return m_version; }
    const LINEINITIALIZEEXPARAMS& Params() const { return m_params; }

private:
    HLINEAPP m_app = nullptr;
    DWORD m_lines = 0;
    DWORD m_version = kVersion20;
    LINEINITIALIZEEXPARAMS m_params{};
    LONG m_result = -1;
};

// A caller's buffer for a variably sized record, with guard bytes after what it hands over.
template <class Record>
class RecordBuffer {
public:
    explicit RecordBuffer(size_t total) : m_bytes(total + kGuard, 0xCD)
    {
        std::memset(m_bytes.data(), 0, total);
        DWORD size = static_cast<DWORD>(total);
        std::memcpy(m_bytes.data(), &size, sizeof size);
        m_total = total;
    }
    Record* Get() { return reinterpret_cast<Record*>(m_bytes.data()); }
    bool GuardIntact() const
    {
        for (size_t i = m_total; i < m_bytes.size(); ++i)
            if (m_bytes[i] != 0xCD) return false;
        return true;
    }
    std::u16string TextAt(DWORD offset, DWORD size) const
    {
        if (size < sizeof(char16_t) || offset + size > m_total) return u"(outside)";
        std::u16string text(size / sizeof(char16_t), u'\0');
        std::memcpy(text.data(), m_bytes.data() + offset, size);
        if (text.back() != u'\0') return u"(unterminated)";
        text.pop_back();
        return text;
    }

private:
    static constexpr size_t kGuard = 64;
    std::vector<unsigned char> m_bytes;
    size_t m_total = 0;
};

// The device number of the line with that name, read the way device code does with a 512-byte block.
DWORD FindLineNamed(const Telephony& tapi, const std::u16string& name)
{
    for (DWORD device = 0; device < tapi.Lines(); ++device) {
        DWORD version = 0;
        LINEEXTENSIONID extension;
        if (lineNegotiateAPIVersion(tapi.App(), device, kVersion20, kVersion20, &version, &extension) != 0)
            continue;
        RecordBuffer<LINEDEVCAPS> caps(512);
        if (lineGetDevCaps(tapi.App(), device, version, 0, caps.Get()) != 0) continue;
        if (caps.TextAt(caps.Get()->dwLineNameOffset, caps.Get()->dwLineNameSize) == name) return device;
    }
    return kNoDevice;
}

testing_support::DeviceOptions WithLine(const std::string& lineName, const std::string& ownNumber)
{
    testing_support::DeviceOptions options;
    options.profile.lineName = lineName;
    options.profile.ownNumber = ownNumber;
    return options;
}

} // namespace

TEST(TelephonySession, InitialisesWithTheDeviceLinesAnUnsignalledEventAndVersionTwo)
{
    testing_support::TempDevice device;
    {
        Telephony tapi;
        ASSERT_EQ(tapi.Result(), 0);
        EXPECT_NE(tapi.App(), nullptr);
        EXPECT_EQ(tapi.Lines(), 2u);
        EXPECT_EQ(tapi.Version(), kVersion20);
        EXPECT_EQ(tapi.Params().dwUsedSize, sizeof(LINEINITIALIZEEXPARAMS));
        ASSERT_NE(tapi.Params().Handles.hEvent, nullptr);
        EXPECT_EQ(WaitForSingleObject(tapi.Params().Handles.hEvent, 0), static_cast<DWORD>(WAIT_TIMEOUT));

        Telephony second;
        ASSERT_EQ(second.Result(), 0);
        EXPECT_NE(second.App(), tapi.App());
    }
    HLINEAPP stale = nullptr;
    {
        Telephony tapi;
        stale = tapi.App();
    }
    EXPECT_EQ(lineShutdown(stale), LINEERR_INVALAPPHANDLE);
    LINEDEVCAPS caps{};
    caps.dwTotalSize = sizeof caps;
    EXPECT_EQ(lineGetDevCaps(stale, 0, kVersion20, 0, &caps), LINEERR_INVALAPPHANDLE);
}

TEST(TelephonySession, RefusesBadInitialisationRecordsAndOptions)
{
    testing_support::TempDevice device;
    HLINEAPP app = nullptr;
    DWORD lines = 0, version = kVersion20;
    LINEINITIALIZEEXPARAMS params{};
    params.dwOptions = LINEINITIALIZEEXOPTION_USEEVENT;

    params.dwTotalSize = sizeof(params) - 1;
    EXPECT_EQ(lineInitializeEx(&app, nullptr, nullptr, nullptr, &lines, &version, &params),
              LINEERR_STRUCTURETOOSMALL);
    params.dwTotalSize = sizeof(params);
    EXPECT_EQ(lineInitializeEx(&app, nullptr, nullptr, nullptr, nullptr, &version, &params), LINEERR_INVALPOINTER);
    EXPECT_EQ(lineInitializeEx(&app, nullptr, nullptr, nullptr, &lines, &version, nullptr), LINEERR_INVALPOINTER);
    params.dwOptions = LINEINITIALIZEEXOPTION_USEHIDDENWINDOW; // needs the callback it would call
    EXPECT_EQ(lineInitializeEx(&app, nullptr, nullptr, nullptr, &lines, &version, &params), LINEERR_INVALPOINTER);
    params.dwOptions = LINEINITIALIZEEXOPTION_USECOMPLETIONPORT;
    EXPECT_EQ(lineInitializeEx(&app, nullptr, nullptr, nullptr, &lines, &version, &params),
              LINEERR_OPERATIONUNAVAIL);
    params.dwOptions = 7;
    EXPECT_EQ(lineInitializeEx(&app, nullptr, nullptr, nullptr, &lines, &version, &params), LINEERR_INVALPARAM);
    EXPECT_EQ(app, nullptr);
}

TEST(TelephonySession, NegotiationPicksTheHighestVersionBothSidesSupport)
{
    testing_support::TempDevice device;
    Telephony tapi;
    ASSERT_EQ(tapi.Result(), 0);
    DWORD version = 0;
    LINEEXTENSIONID extension;
    std::memset(&extension, 0xAB, sizeof extension);
    EXPECT_EQ(lineNegotiateAPIVersion(tapi.App(), 1, 0x00010000, 0x00030000, &version, &extension), 0);
    EXPECT_EQ(version, kVersion20);
    EXPECT_EQ(extension.dwExtensionID0 | extension.dwExtensionID1 | extension.dwExtensionID2 |
                  extension.dwExtensionID3,
              0u);
    EXPECT_EQ(lineNegotiateAPIVersion(tapi.App(), 1, 0x00010003, 0x00010004, &version, &extension), 0);
    EXPECT_EQ(version, kVersion14);
    EXPECT_EQ(lineNegotiateAPIVersion(tapi.App(), 1, 0x00010000, 0x00010003, &version, &extension),
              LINEERR_INCOMPATIBLEAPIVERSION);
    EXPECT_EQ(lineNegotiateAPIVersion(tapi.App(), 1, 0x00020001, 0x00030000, &version, &extension),
              LINEERR_INCOMPATIBLEAPIVERSION);
    EXPECT_EQ(lineNegotiateAPIVersion(tapi.App(), tapi.Lines(), kVersion20, kVersion20, &version, &extension),
              LINEERR_BADDEVICEID);
    EXPECT_EQ(lineNegotiateAPIVersion(tapi.App(), 1, kVersion20, kVersion20, &version, nullptr),
              LINEERR_INVALPOINTER);
}

TEST(LineCapabilities, TooSmallBufferGetsTheFixedPartAndTheNeededSizeThenTheWholeRecord)
{
    testing_support::TempDevice device;
    Telephony tapi;
    ASSERT_EQ(tapi.Result(), 0);

    RecordBuffer<LINEDEVCAPS> tiny(sizeof(LINEDEVCAPS) - 1);
    EXPECT_EQ(lineGetDevCaps(tapi.App(), 1, kVersion20, 0, tiny.Get()), LINEERR_STRUCTURETOOSMALL);
    EXPECT_TRUE(tiny.GuardIntact());

    RecordBuffer<LINEDEVCAPS> fixedOnly(sizeof(LINEDEVCAPS));
    ASSERT_EQ(lineGetDevCaps(tapi.App(), 1, kVersion20, 0, fixedOnly.Get()), 0);
    const LINEDEVCAPS& partial = *fixedOnly.Get();
    EXPECT_EQ(partial.dwTotalSize, sizeof(LINEDEVCAPS));
    EXPECT_EQ(partial.dwUsedSize, sizeof(LINEDEVCAPS));
    EXPECT_GT(partial.dwNeededSize, sizeof(LINEDEVCAPS));
    EXPECT_EQ(partial.dwLineNameSize, 0u);
    EXPECT_EQ(partial.dwNumAddresses, 1u);
    EXPECT_EQ(partial.dwStringFormat, static_cast<DWORD>(STRINGFORMAT_UNICODE));
    EXPECT_TRUE(fixedOnly.GuardIntact());

    RecordBuffer<LINEDEVCAPS> whole(partial.dwNeededSize);
    ASSERT_EQ(lineGetDevCaps(tapi.App(), 1, kVersion20, 0, whole.Get()), 0);
    EXPECT_EQ(whole.Get()->dwUsedSize, partial.dwNeededSize);
    EXPECT_EQ(whole.Get()->dwNeededSize, partial.dwNeededSize);
    EXPECT_GE(whole.Get()->dwLineNameOffset, sizeof(LINEDEVCAPS));
    EXPECT_EQ(whole.TextAt(whole.Get()->dwLineNameOffset, whole.Get()->dwLineNameSize), u"Cellular Line");
    EXPECT_NE(whole.TextAt(whole.Get()->dwProviderInfoOffset, whole.Get()->dwProviderInfoSize), u"(outside)");
    EXPECT_TRUE(whole.GuardIntact());
}

TEST(LineCapabilities, VersionOnePointFourRecordEndsBeforeTheVersionTwoFields)
{
    testing_support::TempDevice device;
    Telephony tapi;
    ASSERT_EQ(tapi.Result(), 0);
    constexpr size_t kFixed14 = offsetof(LINEDEVCAPS, dwSettableDevStatus);
    RecordBuffer<LINEDEVCAPS> caps(kFixed14);
    ASSERT_EQ(lineGetDevCaps(tapi.App(), 1, kVersion14, 0, caps.Get()), 0);
    EXPECT_EQ(caps.Get()->dwUsedSize, kFixed14);
    EXPECT_TRUE(caps.GuardIntact());
    EXPECT_EQ(lineGetDevCaps(tapi.App(), 1, kVersion20, 0, caps.Get()), LINEERR_STRUCTURETOOSMALL);
}

TEST(LineCapabilities, RefusesUnknownLinesVersionsExtensionsAndNullRecords)
{
    testing_support::TempDevice device;
    Telephony tapi;
    ASSERT_EQ(tapi.Result(), 0);
    RecordBuffer<LINEDEVCAPS> caps(512);
    EXPECT_EQ(lineGetDevCaps(tapi.App(), tapi.Lines(), kVersion20, 0, caps.Get()), LINEERR_BADDEVICEID);
    EXPECT_EQ(lineGetDevCaps(tapi.App(), kNoDevice, kVersion20, 0, caps.Get()), LINEERR_BADDEVICEID);
    EXPECT_EQ(lineGetDevCaps(tapi.App(), 0, 0x00010003, 0, caps.Get()), LINEERR_INCOMPATIBLEAPIVERSION);
    EXPECT_EQ(lineGetDevCaps(tapi.App(), 0, kVersion20, 0x00010000, caps.Get()), LINEERR_INCOMPATIBLEEXTVERSION);
    EXPECT_EQ(lineGetDevCaps(tapi.App(), 0, kVersion20, 0, nullptr), LINEERR_INVALPOINTER);
    EXPECT_TRUE(caps.GuardIntact());
}

TEST(OwnNumber, CellularLineIsFoundAmongTheLinesAndCarriesTheProfileNumberAtAddressZero)
{
    testing_support::TempDevice device(WithLine("Cellular Line", "+44 7700 900123"));
    Telephony tapi;
    ASSERT_EQ(tapi.Result(), 0);
    DWORD cellular = FindLineNamed(tapi, u"Cellular Line");
    ASSERT_NE(cellular, kNoDevice);
    EXPECT_NE(cellular, 0u); // not simply the first line

    RecordBuffer<LINEADDRESSCAPS> caps(512);
    ASSERT_EQ(lineGetAddressCaps(tapi.App(), cellular, 0, kVersion20, 0, caps.Get()), 0);
    EXPECT_EQ(caps.Get()->dwLineDeviceID, cellular);
    EXPECT_EQ(caps.TextAt(caps.Get()->dwAddressOffset, caps.Get()->dwAddressSize), u"+44 7700 900123");
    EXPECT_EQ(caps.Get()->dwUsedSize, caps.Get()->dwNeededSize);

    EXPECT_EQ(lineGetAddressCaps(tapi.App(), cellular, 1, kVersion20, 0, caps.Get()), LINEERR_INVALADDRESSID);
}

TEST(OwnNumber, AddressRecordFollowsTheSameSizeProtocol)
{
    testing_support::TempDevice device;
    Telephony tapi;
    ASSERT_EQ(tapi.Result(), 0);
    DWORD cellular = FindLineNamed(tapi, u"Cellular Line");
    ASSERT_NE(cellular, kNoDevice);

    RecordBuffer<LINEADDRESSCAPS> tiny(sizeof(LINEADDRESSCAPS) - 4);
    EXPECT_EQ(lineGetAddressCaps(tapi.App(), cellular, 0, kVersion20, 0, tiny.Get()), LINEERR_STRUCTURETOOSMALL);
    RecordBuffer<LINEADDRESSCAPS> fixedOnly(sizeof(LINEADDRESSCAPS));
    ASSERT_EQ(lineGetAddressCaps(tapi.App(), cellular, 0, kVersion20, 0, fixedOnly.Get()), 0);
    EXPECT_EQ(fixedOnly.Get()->dwAddressSize, 0u);
    EXPECT_EQ(fixedOnly.Get()->dwNeededSize, sizeof(LINEADDRESSCAPS) + sizeof(u"+15550100"));
    EXPECT_TRUE(fixedOnly.GuardIntact());
}

TEST(OwnNumber, OtherLinesAndAMissingNumberHaveNoAddressText)
{
    testing_support::TempDevice device(WithLine("Cellular Line", ""));
    Telephony tapi;
    ASSERT_EQ(tapi.Result(), 0);
    for (DWORD line = 0; line < tapi.Lines(); ++line) {
        RecordBuffer<LINEADDRESSCAPS> caps(512);
        ASSERT_EQ(lineGetAddressCaps(tapi.App(), line, 0, kVersion20, 0, caps.Get()), 0);
        EXPECT_EQ(caps.Get()->dwAddressSize, 0u) << line;
        EXPECT_EQ(caps.Get()->dwAddressOffset, 0u) << line;
    }
}

TEST(OwnNumber, DeviceWhoseRadioLineHasAnotherNameHasNoCellularLine)
{
    testing_support::TempDevice device(WithLine("Radio Line", "+15550100"));
    Telephony tapi;
    ASSERT_EQ(tapi.Result(), 0);
    EXPECT_EQ(FindLineNamed(tapi, u"Cellular Line"), kNoDevice);
    EXPECT_NE(FindLineNamed(tapi, u"Radio Line"), kNoDevice);

    // Device code then asks for the address of line 0xFFFFFFFF, which fails.
    RecordBuffer<LINEADDRESSCAPS> caps(512);
    EXPECT_EQ(lineGetAddressCaps(tapi.App(), kNoDevice, 0, kVersion20, 0, caps.Get()), LINEERR_BADDEVICEID);
}
