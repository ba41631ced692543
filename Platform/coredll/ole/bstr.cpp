// System strings (BSTRs): a 4-byte byte count just before the characters, then the characters (which may
// include nulls) and a terminator. Only the functions device code here uses; no SysReAllocString.
#include <oleauto.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr size_t kPrefix = sizeof(uint32_t);

unsigned char* BlockOf(BSTR bstr)
{
    return reinterpret_cast<unsigned char*>(bstr) - kPrefix;
}

uint32_t ByteLength(BSTR bstr)
{
    uint32_t bytes;
    std::memcpy(&bytes, BlockOf(bstr), kPrefix);
    return bytes;
}

} // namespace

BSTR WINAPI SysAllocStringLen(const OLECHAR* strIn, UINT ui)
{
    // The byte count must fit its four bytes.
    if (ui > (UINT32_MAX - kPrefix - sizeof(OLECHAR)) / sizeof(OLECHAR)) return nullptr;
    uint32_t bytes = ui * sizeof(OLECHAR);
    auto* block = static_cast<unsigned char*>(std::calloc(1, kPrefix + bytes + sizeof(OLECHAR)));
    if (!block) return nullptr;
    std::memcpy(block, &bytes, kPrefix);
    BSTR bstr = reinterpret_cast<BSTR>(block + kPrefix);
    if (strIn) std::memcpy(bstr, strIn, bytes);
    return bstr;
}

BSTR WINAPI SysAllocString(const OLECHAR* psz)
{
    return psz ? SysAllocStringLen(psz, static_cast<UINT>(std::char_traits<OLECHAR>::length(psz))) : nullptr;
}

UINT WINAPI SysStringLen(BSTR bstr)
{
    return bstr ? ByteLength(bstr) / sizeof(OLECHAR) : 0;
}

UINT WINAPI SysStringByteLen(BSTR bstr)
{
    return bstr ? ByteLength(bstr) : 0;
}

void WINAPI SysFreeString(BSTR bstrString)
{
    if (bstrString) std::free(BlockOf(bstrString));
}
