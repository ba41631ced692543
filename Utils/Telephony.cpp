// Export 14: the phone's own number, read over telephony as the first address of the line named
// "Cellular Line".
#include "Exports.h"

#include <strsafe.h>
#include <tapi.h>

#include <string_view>

namespace {

constexpr DWORD kTapiVersion = 0x00020000;
constexpr DWORD kNoDevice = 0xFFFFFFFF;
constexpr UINT kFirstBlockBytes = 512;
constexpr std::u16string_view kCellularLine = TEXT("Cellular Line");

// A telephony session, shut down on every path.
class LineSession {
public:
    LineSession() = default;
    ~LineSession()
    {
        if (m_app)
            lineShutdown(m_app);
    }
    LineSession(const LineSession&) = delete;
    LineSession& operator=(const LineSession&) = delete;

    LONG Initialize(DWORD* lineCount)
    {
        LINEINITIALIZEEXPARAMS params{};
        params.dwTotalSize = sizeof params; // 24 bytes on the device, where a handle is 32 bits
        params.dwOptions = LINEINITIALIZEEXOPTION_USEEVENT;
        DWORD version = kTapiVersion;
        return lineInitializeEx(&m_app, nullptr, nullptr, nullptr, lineCount, &version, &params);
    }
    operator HLINEAPP() const { return m_app; }

private:
    HLINEAPP m_app = nullptr;
};

// A zeroed block for the variably sized capability records, grown when a record asks for more.
class CapsBlock {
public:
    CapsBlock() = default;
    ~CapsBlock()
    {
        if (m_block)
            LocalFree(m_block);
    }
    CapsBlock(const CapsBlock&) = delete;
    CapsBlock& operator=(const CapsBlock&) = delete;

    bool Allocate(UINT bytes)
    {
        m_block = LocalAlloc(LPTR, bytes);
        m_bytes = m_block ? bytes : 0;
        return m_block != nullptr;
    }

    // The old contents are not needed: the record is read again into the new block.
    bool Grow(UINT bytes)
    {
        LocalFree(m_block);
        return Allocate(bytes);
    }

    // Reads a record into the block, once more after growing it when the record needs more room.
    template <class Record, class Read>
    LONG ReadRecord(Read read)
    {
        if (!m_block) // a growth that failed earlier
            return LINEERR_NOMEM;
        LONG result = read(Prepared<Record>());
        DWORD needed = As<Record>()->dwNeededSize;
        if (result == 0 && needed > m_bytes) {
            if (!Grow(needed))
                return LINEERR_NOMEM;
            result = read(Prepared<Record>());
        }
        return result;
    }

    // The text a record holds at (offset, size), cut at its terminator; empty when it lies outside the
    // part the record filled.
    template <class Record>
    std::u16string_view TextAt(DWORD offset, DWORD size) const
    {
        const Record* record = static_cast<const Record*>(m_block);
        DWORD filled = record->dwUsedSize < m_bytes ? record->dwUsedSize : m_bytes;
        if (size == 0 || offset > filled || size > filled - offset)
            return {};
        std::u16string_view text(reinterpret_cast<const WCHAR*>(static_cast<const BYTE*>(m_block) + offset),
                                 size / sizeof(WCHAR));
        return text.substr(0, text.find(u'\0'));
    }

    template <class Record>
    const Record* As() const
    {
        return static_cast<const Record*>(m_block);
    }

private:
    template <class Record>
    Record* Prepared()
    {
        auto record = static_cast<Record*>(m_block);
        record->dwTotalSize = m_bytes;
        return record;
    }
    HLOCAL m_block = nullptr;
    UINT m_bytes = 0;
};

// The device number of the line with that name; kNoDevice when none has it.
DWORD FindLine(HLINEAPP app, DWORD lineCount, CapsBlock& block, std::u16string_view name)
{
    for (DWORD device = 0; device < lineCount; ++device) {
        DWORD version = 0;
        LINEEXTENSIONID extension;
        if (lineNegotiateAPIVersion(app, device, kTapiVersion, kTapiVersion, &version, &extension) != 0)
            continue;
        LONG result = block.ReadRecord<LINEDEVCAPS>(
            [&](LINEDEVCAPS* caps) { return lineGetDevCaps(app, device, version, 0, caps); });
        if (result != 0)
            continue;
        const LINEDEVCAPS* caps = block.As<LINEDEVCAPS>();
        if (block.TextAt<LINEDEVCAPS>(caps->dwLineNameOffset, caps->dwLineNameSize) == name)
            return device;
    }
    return kNoDevice;
}

} // namespace

HRESULT WINAPI GetOwnNumber(LPWSTR buffer, int capacity, DWORD address)
{
    if (!buffer || capacity <= 0)
        return E_INVALIDARG;
    buffer[0] = 0;
    LineSession session;
    DWORD lineCount = 0;
    if (LONG result = session.Initialize(&lineCount))
        return static_cast<HRESULT>(result);
    CapsBlock block;
    if (!block.Allocate(kFirstBlockBytes))
        return E_OUTOFMEMORY;
    // Without a cellular line the lookup below asks for a device that does not exist, and fails.
    DWORD device = FindLine(session, lineCount, block, kCellularLine);
    LONG result = block.ReadRecord<LINEADDRESSCAPS>([&](LINEADDRESSCAPS* caps) {
        return lineGetAddressCaps(session, device, address - 1, kTapiVersion, 0, caps);
    });
    if (result != 0)
        return E_FAIL;
    const LINEADDRESSCAPS* caps = block.As<LINEADDRESSCAPS>();
    std::u16string_view number = block.TextAt<LINEADDRESSCAPS>(caps->dwAddressOffset, caps->dwAddressSize);
    if (number.empty())
        return E_FAIL;
    return StringCchCopyNW(buffer, capacity, number.data(), number.size());
}
