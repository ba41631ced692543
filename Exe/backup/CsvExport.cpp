#include "backup/CsvExport.h"

#include "app/Program.h"
#include "backup/BackupRecord.h"
#include "schedule/DateTime.h"

#include "ids.h"

#include <string>

namespace {

constexpr int kFolderNameLength = 64;

std::u16string WithoutQuotes(LPCWSTR text)
{
    std::u16string kept;
    for (LPCWSTR at = text ? text : TEXT(""); *at; ++at)
        if (*at != u'"')
            kept += *at;
    return kept;
}

void AppendField(std::u16string& line, const std::u16string& field)
{
    line += u'"';
    line += field;
    line += TEXT("\"\t");
}

} // namespace

HRESULT WriteText(HANDLE file, LPCWSTR text)
{
    DWORD bytes = static_cast<DWORD>(lstrlenW(text)) * sizeof(WCHAR);
    if (bytes == 0)
        return S_OK;
    DWORD written = 0;
    return WriteFile(file, text, bytes, &written, nullptr) && written == bytes ? S_OK : E_FAIL;
}

HRESULT WriteCsvLine(HANDLE file, const SmsRecord& message)
{
    if (!IsWholeMessage(message))
        return E_INVALIDARG;
    WCHAR folder[kFolderNameLength] = {};
    LoadStringW(g_program.resources, message.kind == kReceivedFolder ? IDS_FOLDER_RECEIVED : IDS_FOLDER_SENT, folder,
                kFolderNameLength);

    std::u16string line;
    AppendField(line, DateTime::FromSystemTime(*message.time).FormatLocale(0, kExportLocale));
    AppendField(line, message.recipientName ? message.recipientName : TEXT(""));
    AppendField(line, WithoutQuotes(message.recipientAddress));
    AppendField(line, message.senderName ? message.senderName : TEXT(""));
    AppendField(line, WithoutQuotes(message.senderAddress));
    AppendField(line, WithoutQuotes(message.text));
    AppendField(line, folder);
    line += TEXT("\r\n");
    return WriteText(file, line.c_str());
}
