// The user's settings, kept under HKEY_CURRENT_USER\Software\Orvane\Zelkova, with the two things every
// screen shares beside them: the application title and the bold label font. The one-time hint flags are
// read and written with them (they live in the program-wide state).
#pragma once

#include <windows.h>

extern const WCHAR kSettingsKey[];

class Settings {
public:
    // The longest own number that is kept: what Load reads back.
    static constexpr int kMyNumberLength = 256;

    Settings();
    ~Settings();
    Settings(const Settings&) = delete;
    Settings& operator=(const Settings&) = delete;

    // Reads the registry; only a missing system font fails it. In silent mode the number, the sample-group
    // flag and the hint flags are not read.
    HRESULT Load();
    // Writes every value; does nothing in silent mode.
    HRESULT Save();

    // Replace the string with a copy of text: E_OUTOFMEMORY for a null text (nothing changes) or a failed
    // copy (the field is then empty of any string).
    HRESULT SetMyNumber(LPCWSTR text);
    HRESULT SetARMsg(LPCWSTR text);

    LPCWSTR MyNumber() const { return m_myNumber; } // null when none was ever set
    LPCWSTR ARMsg() const { return m_arMsg; }
    LPCWSTR AppTitle() const { return m_appTitle; }
    HFONT BoldFont() const { return m_boldFont; }

    DWORD ARWarn = 10;
    DWORD ARMode = 1;
    DWORD AutoExit = 0;
    DWORD AREnable = 0;
    DWORD SampleGrp = 0;

private:
    HRESULT MakeBoldFont();

    HFONT m_boldFont = nullptr;
    LPWSTR m_myNumber = nullptr;
    LPWSTR m_arMsg = nullptr;
    LPWSTR m_appTitle = nullptr;
};

// Shows the one-time hint of that id (264 or 317) over owner unless it was shown before on this device:
// E_FAIL in silent mode, for another id, or once the hint was shown. Its flag is stored with the next Save.
HRESULT ShowHintOnce(HWND owner, UINT hintId);
// The registry value that holds a hint's flag: "OneTimeMsg_<id>".
void HintValueName(UINT hintId, LPWSTR name, int capacity);
