// GUIDs: the platform's interface identifiers, random GUIDs and the registry form
// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}". CLSIDFromString reads only that form, not class names.
#include <objbase.h>
#include <oaidl.h>

#include <sys/random.h>

const IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID IID_IDispatch = {0x00020400, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

namespace {

// Characters of the registry form, the terminator included.
constexpr int kGuidChars = 39;

void PutHex(LPOLESTR& out, uint64_t value, int digits)
{
    for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4)
        *out++ = u"0123456789ABCDEF"[(value >> shift) & 0xF];
}

bool ReadHex(LPCOLESTR& in, int digits, uint64_t& value)
{
    value = 0;
    for (int i = 0; i < digits; ++i, ++in) {
        WCHAR c = *in;
        int digit = c >= '0' && c <= '9'   ? c - '0'
                    : c >= 'A' && c <= 'F' ? c - 'A' + 10
                    : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                           : -1;
        if (digit < 0) return false;
        value = (value << 4) | digit;
    }
    return true;
}

bool Expect(LPCOLESTR& in, WCHAR c)
{
    return *in++ == c;
}

uint64_t Data4High(const GUID& g)
{
    return (uint64_t(g.Data4[0]) << 8) | g.Data4[1];
}

uint64_t Data4Low(const GUID& g)
{
    uint64_t value = 0;
    for (int i = 2; i < 8; ++i)
        value = (value << 8) | g.Data4[i];
    return value;
}

} // namespace

HRESULT WINAPI CoCreateGuid(GUID* pguid)
{
    if (!pguid) return E_INVALIDARG;
    GUID g;
    if (getrandom(&g, sizeof g, 0) != static_cast<ssize_t>(sizeof g)) return E_FAIL;
    // A random GUID is version 4 of the variant every GUID generator shares.
    g.Data3 = static_cast<WORD>((g.Data3 & 0x0FFF) | 0x4000);
    g.Data4[0] = static_cast<BYTE>((g.Data4[0] & 0x3F) | 0x80);
    *pguid = g;
    return S_OK;
}

int WINAPI StringFromGUID2(REFGUID rguid, LPOLESTR lpsz, int cchMax)
{
    if (!lpsz || cchMax < kGuidChars) return 0;
    LPOLESTR out = lpsz;
    *out++ = '{';
    PutHex(out, rguid.Data1, 8);
    *out++ = '-';
    PutHex(out, rguid.Data2, 4);
    *out++ = '-';
    PutHex(out, rguid.Data3, 4);
    *out++ = '-';
    PutHex(out, Data4High(rguid), 4);
    *out++ = '-';
    PutHex(out, Data4Low(rguid), 12);
    *out++ = '}';
    *out = 0;
    return kGuidChars;
}

HRESULT WINAPI CLSIDFromString(LPCOLESTR lpsz, LPCLSID pclsid)
{
    if (!lpsz || !pclsid) return E_INVALIDARG;
    uint64_t data1, data2, data3, high, low;
    LPCOLESTR in = lpsz;
    bool ok = Expect(in, '{') && ReadHex(in, 8, data1) && Expect(in, '-') && ReadHex(in, 4, data2) &&
              Expect(in, '-') && ReadHex(in, 4, data3) && Expect(in, '-') && ReadHex(in, 4, high) &&
              Expect(in, '-') && ReadHex(in, 12, low) && Expect(in, '}') && *in == 0;
    if (!ok) return CO_E_CLASSSTRING;
    CLSID clsid;
    clsid.Data1 = static_cast<DWORD>(data1);
    clsid.Data2 = static_cast<WORD>(data2);
    clsid.Data3 = static_cast<WORD>(data3);
    clsid.Data4[0] = static_cast<BYTE>(high >> 8);
    clsid.Data4[1] = static_cast<BYTE>(high);
    for (int i = 7; i >= 2; --i, low >>= 8)
        clsid.Data4[i] = static_cast<BYTE>(low);
    *pclsid = clsid;
    return S_OK;
}
