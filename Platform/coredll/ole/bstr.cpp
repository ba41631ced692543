// System strings: a 32-bit byte count, then the characters and a terminating null; a BSTR points at the
// first character.
#include <oleauto.h>

#include <cstdlib>
#include <cstring>

namespace
{

constexpr size_t kPrefix = sizeof(UINT);

UINT* PrefixOf(BSTR bstr)
{
    return reinterpret_cast<UINT*>(reinterpret_cast<char*>(bstr) - kPrefix);
}

} // namespace

BSTR WINAPI SysAllocStringLen(const OLECHAR* strIn, UINT ui)
{
    // The byte count must fit its 32 bits.
    if (ui > (0xFFFFFFFFu - kPrefix) / sizeof(OLECHAR) - 1) return nullptr;
    char* block = static_cast<char*>(std::malloc(kPrefix + (static_cast<size_t>(ui) + 1) * sizeof(OLECHAR)));
    if (!block) return nullptr;
    const UINT bytes = ui * sizeof(OLECHAR);
    std::memcpy(block, &bytes, kPrefix);
    BSTR bstr = reinterpret_cast<BSTR>(block + kPrefix);
    if (strIn) std::memcpy(bstr, strIn, bytes);
    bstr[ui] = 0;
    return bstr;
}

BSTR WINAPI SysAllocString(const OLECHAR* psz)
{
    if (!psz) return nullptr;
    UINT length = 0;
    while (psz[length] != 0)
        ++length;
    return SysAllocStringLen(psz, length);
}

UINT WINAPI SysStringByteLen(BSTR bstr)
{
    return bstr ? *PrefixOf(bstr) : 0;
}

UINT WINAPI SysStringLen(BSTR bstr)
{
    return SysStringByteLen(bstr) / sizeof(OLECHAR);
}

void WINAPI SysFreeString(BSTR bstrString)
{
    if (bstrString) std::free(PrefixOf(bstrString));
}
