// Arbitrary values in the registry (any type, any bytes), read back through the program's own readers and
// the platform's, with the buffers the program gives them. A value refused as invalid data is fine; a
// string handed back without its terminator, a crash or a sanitizer report is a finding.
// Input: four bytes of value type, then the data. Build and run (see README):
//   build/fuzz/bin/registry_value_fuzzer -max_total_time=600 WORKDIR fuzz/corpus/registry_values
#include "FuzzDevice.h"

#include "contacts/ContactGroup.h"
#include "contacts/RegistryValues.h"
#include "store/SmsRecord.h"

#include <regext.h>
#include <windows.h>

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

constexpr const WCHAR* kKey = TEXT("Software\\Fuzz");
constexpr const WCHAR* kName = TEXT("Value");

void Expect(bool condition)
{
    if (!condition)
        std::abort();
}

bool Terminated(const WCHAR* text, size_t capacity)
{
    for (size_t i = 0; i < capacity; ++i)
        if (text[i] == 0)
            return true;
    return false;
}

template <size_t Capacity> void ReadString(HKEY key)
{
    WCHAR text[Capacity];
    if (SUCCEEDED(ReadStringValue(key, kName, text, Capacity)))
        Expect(Terminated(text, Capacity));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    fuzzing::FuzzDevice();
    if (size < sizeof(DWORD))
        return 0;
    DWORD type;
    std::memcpy(&type, data, sizeof type);
    HKEY key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, 0, nullptr, &key, nullptr) != ERROR_SUCCESS)
        std::abort();
    if (RegSetValueExW(key, kName, 0, type, data + sizeof type, static_cast<DWORD>(size - sizeof type)) ==
        ERROR_SUCCESS) {
        ReadString<kMaxGroupNameLength + 1>(key); // a group's name
        ReadString<kMaxSmsLength + 1>(key);       // a scheduled message's text
        ReadString<1>(key);
        DWORD bytes = 0;
        if (SUCCEEDED(QueryBinarySize(key, kName, &bytes))) { // a group's members, sized first
            std::vector<BYTE> block(bytes ? bytes : 1);
            Expect(SUCCEEDED(ReadBinaryValue(key, kName, block.data(), bytes)));
        }
        SYSTEMTIME time; // a scheduled message's time
        ReadBinaryValue(key, kName, &time, sizeof time);
        // A setting: the data's size comes back whether or not it fits.
        DWORD number = 0, numberSize = sizeof number, numberType = 0;
        LONG rc = RegQueryValueExW(key, kName, nullptr, &numberType, reinterpret_cast<LPBYTE>(&number), &numberSize);
        Expect(rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA);
        Expect(numberSize == size - sizeof type && numberType == type);
        Expect((rc == ERROR_SUCCESS) == (numberSize <= sizeof number));
        RegistryGetDWORD(HKEY_CURRENT_USER, kKey, kName, &number); // the caller's contact id
        WCHAR caller[64];
        if (SUCCEEDED(RegistryGetString(HKEY_CURRENT_USER, kKey, kName, caller, 64)))
            Expect(Terminated(caller, 64));
    }
    RegCloseKey(key);
    return 0;
}
