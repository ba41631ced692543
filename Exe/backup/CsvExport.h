// The export file's lines: UTF-16 text a desktop spreadsheet opens, one line per message, each of its seven
// fields in double quotes and followed by a tab, the line ended by CR LF.
#pragma once

#include "store/SmsRecord.h"

// The locale the export's dates are written in: the user's default.
constexpr LCID kExportLocale = LOCALE_USER_DEFAULT;

// The characters of text, two bytes each and no terminator; an empty text writes nothing. E_FAIL when the
// write fails.
HRESULT WriteText(HANDLE file, LPCWSTR text);

// The message's line: its local date and time, recipient name and address, sender name and address, text,
// and folder name. Double quotes are taken out of the addresses and the text, nothing else is escaped.
// E_INVALIDARG for a message that isn't whole (BackupRecord.h).
HRESULT WriteCsvLine(HANDLE file, const SmsRecord& message);
