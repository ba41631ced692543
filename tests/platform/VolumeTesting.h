// Helpers for the database volume tests: the backup's kind of database and its records.
#pragma once

#include <windows.h>
#include <windbase.h>

#include <string>
#include <vector>

namespace volume_testing {

constexpr CEPROPID kKind = 0x00010003, kTime = 0x00020040, kText = 0x0007001F, kRead = 0x0008000B;

inline CEVOLUMEOPTIONS Options(const char16_t* password)
{
    CEVOLUMEOPTIONS options{};
    options.wVersion = 1;
    options.dwFlags = CEDB_PASSWORD;
    std::char_traits<char16_t>::copy(options.wszPassword, password, std::char_traits<char16_t>::length(password));
    return options;
}

// A database of four properties, newest first by its time property.
inline CEOID CreateMessages(CEGUID* volume, const char16_t* name = u"SMS")
{
    CEDBASEINFOEX info{};
    info.wVersion = CEDBASEINFOEX_VERSION;
    info.dwFlags = CEDB_VALIDNAME;
    std::char_traits<char16_t>::copy(info.szDbaseName, name, std::char_traits<char16_t>::length(name));
    info.wNumSortOrder = 1;
    info.rgSortSpecs[0].wVersion = SORTORDERSPECEX_VERSION;
    info.rgSortSpecs[0].wNumProps = 1;
    info.rgSortSpecs[0].rgPropID[0] = kTime;
    info.rgSortSpecs[0].rgdwFlags[0] = CEDB_SORT_DESCENDING;
    CEPROPSPEC props[4] = {{1, kKind, DB_PROP_NOTNULL, nullptr, 0},
                           {1, kTime, DB_PROP_NOTNULL, nullptr, 0},
                           {1, kText, 0, nullptr, 0},
                           {1, kRead, 0, nullptr, 0}};
    return CeCreateDatabaseWithProps(volume, &info, 4, props);
}

inline CEOID WriteMessage(HANDLE db, LONG kind, ULONGLONG time, const char16_t* text, BOOL read)
{
    CEPROPVAL values[4] = {};
    values[0].propid = kKind;
    values[0].val.lVal = kind;
    values[1].propid = kTime;
    values[1].val.filetime = {static_cast<DWORD>(time), static_cast<DWORD>(time >> 32)};
    values[2].propid = kText;
    values[2].val.lpwstr = const_cast<LPWSTR>(text);
    values[3].propid = kRead;
    values[3].val.boolVal = read;
    return CeWriteRecordProps(db, 0, 4, values);
}

// The text property of every record from the current one on, read one at a time.
inline std::vector<std::u16string> ReadTexts(HANDLE db)
{
    std::vector<std::u16string> texts;
    LPBYTE buffer = nullptr;
    DWORD size = 0;
    WORD count = 0;
    // Bounded, so a handle that does not advance fails the test instead of hanging it.
    for (int i = 0; i < 10000 && CeReadRecordPropsEx(db, CEDB_ALLOWREALLOC, &count, nullptr, &buffer, &size, nullptr);
         ++i) {
        auto* values = reinterpret_cast<CEPROPVAL*>(buffer);
        for (WORD i = 0; i < count; ++i)
            if (values[i].propid == kText)
                texts.push_back(values[i].val.lpwstr);
    }
    LocalFree(buffer);
    return texts;
}

} // namespace volume_testing
