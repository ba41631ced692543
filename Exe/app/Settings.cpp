#include "app/Settings.h"

#include "app/Program.h"
#include "app/RegKey.h"
#include "app/ResourceText.h"
#include "app/WaitCursor.h"

#include "ids.h"

const WCHAR kSettingsKey[] = TEXT("Software\\Orvane\\Zelkova");

namespace {

constexpr REGSAM kReadAccess = 0x20019;
constexpr REGSAM kReadWriteAccess = 0x2001F;
constexpr int kARMsgCapacity = 161;    // 160 characters and the terminator
constexpr int kBoldPoints = 10;

// The number left as it is when the value is missing or not a 32-bit number.
void ReadNumber(HKEY key, LPCWSTR name, DWORD* number)
{
    DWORD type = 0, value = 0, size = sizeof value;
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD && size == sizeof value)
        *number = value;
}

// 0 or 1: any number but 0 is a set flag.
void ReadFlag(HKEY key, LPCWSTR name, DWORD* flag)
{
    DWORD value = *flag;
    ReadNumber(key, name, &value);
    *flag = value != 0;
}

// A terminated string that fits the buffer; anything else counts as missing.
bool ReadString(HKEY key, LPCWSTR name, LPWSTR buffer, int capacity)
{
    DWORD type = 0, size = capacity * sizeof(WCHAR);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &size) != ERROR_SUCCESS)
        return false;
    if (type != REG_SZ && type != REG_EXPAND_SZ)
        return false;
    if (size == 0) {
        buffer[0] = 0;
        return true;
    }
    return size % sizeof(WCHAR) == 0 && buffer[size / sizeof(WCHAR) - 1] == 0;
}

void WriteNumber(HKEY key, LPCWSTR name, DWORD value)
{
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
}

void WriteString(HKEY key, LPCWSTR name, LPCWSTR text)
{
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                   (lstrlenW(text) + 1) * sizeof(WCHAR));
}

HRESULT ReplaceString(LPWSTR* field, LPCWSTR text)
{
    if (!text)
        return E_OUTOFMEMORY;
    delete[] * field;
    *field = CopyText(text);
    return *field ? S_OK : E_OUTOFMEMORY;
}

} // namespace

Settings::Settings()
{
    g_program.hintShown264 = 0;
    g_program.hintShown317 = 0;
}

Settings::~Settings()
{
    delete[] m_myNumber;
    delete[] m_arMsg;
    delete[] m_appTitle;
    if (m_boldFont)
        DeleteObject(m_boldFont);
}

HRESULT Settings::SetMyNumber(LPCWSTR text)
{
    return ReplaceString(&m_myNumber, text);
}

HRESULT Settings::SetARMsg(LPCWSTR text)
{
    return ReplaceString(&m_arMsg, text);
}

HRESULT Settings::Load()
{
    WaitCursor wait;
    delete[] m_appTitle;
    m_appTitle = CopyResourceString(IDS_APP_TITLE);

    WCHAR arMsg[kARMsgCapacity] = {};
    bool haveARMsg = false;
    RegKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, kReadAccess, key.Out()) == ERROR_SUCCESS) {
        if (!g_program.silentMode) {
            ReadFlag(key, TEXT("SampleGrp"), &SampleGrp);
            WCHAR number[kMyNumberLength + 1];
            if (ReadString(key, TEXT("MyNumber"), number, kMyNumberLength + 1))
                SetMyNumber(number);
            WCHAR name[32];
            HintValueName(IDS_HINT_WELCOME, name, 32);
            ReadFlag(key, name, &g_program.hintShown264);
            HintValueName(IDS_HINT_STATISTICS, name, 32);
            ReadFlag(key, name, &g_program.hintShown317);
        }
        ReadFlag(key, TEXT("AutoExit"), &AutoExit);
        ReadFlag(key, TEXT("AREnable"), &AREnable);
        ReadNumber(key, TEXT("ARMode"), &ARMode);
        ReadNumber(key, TEXT("ARWarn"), &ARWarn);
        haveARMsg = ReadString(key, TEXT("ARMsg"), arMsg, kARMsgCapacity);
    }
    if (haveARMsg) {
        SetARMsg(arMsg);
    } else {
        delete[] m_arMsg;
        m_arMsg = CopyResourceString(IDS_AUTO_REPLY_DEFAULT_TEXT);
    }
    return m_boldFont ? S_OK : MakeBoldFont();
}

// The system font, bold, 10 points. Only a missing system font is a failure.
HRESULT Settings::MakeBoldFont()
{
    HGDIOBJ system = GetStockObject(SYSTEM_FONT);
    LOGFONTW font{};
    if (!system || !GetObjectW(system, sizeof font, &font))
        return E_FAIL;
    HDC screen = GetDC(nullptr);
    int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    font.lfWeight = FW_BOLD;
    font.lfHeight = -(dpi * kBoldPoints / 72);
    m_boldFont = CreateFontIndirectW(&font);
    return S_OK;
}

HRESULT Settings::Save()
{
    if (g_program.silentMode)
        return S_OK;
    WaitCursor wait;
    RegKey key;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, kReadWriteAccess, nullptr, key.Out(),
                        nullptr) != ERROR_SUCCESS)
        return E_FAIL;
    WriteNumber(key, TEXT("AREnable"), AREnable);
    WriteNumber(key, TEXT("AutoExit"), AutoExit);
    WriteNumber(key, TEXT("SampleGrp"), SampleGrp);
    WriteNumber(key, TEXT("ARWarn"), ARWarn);
    WriteNumber(key, TEXT("ARMode"), ARMode);
    if (m_arMsg)
        WriteString(key, TEXT("ARMsg"), m_arMsg);
    if (m_myNumber)
        WriteString(key, TEXT("MyNumber"), m_myNumber);
    WCHAR name[32];
    HintValueName(IDS_HINT_WELCOME, name, 32);
    WriteNumber(key, name, g_program.hintShown264);
    HintValueName(IDS_HINT_STATISTICS, name, 32);
    WriteNumber(key, name, g_program.hintShown317);
    return S_OK;
}
