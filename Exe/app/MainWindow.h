// The program's one top-level window: the feature list under a soft-key menu bar, or, in silent mode, a
// hidden window that only waits for a wake-up or a missed call. The object lives for the whole process
// (g_mainWindow) and owns the settings.
#pragma once

#include "app/FeatureList.h"
#include "app/Settings.h"
#include "ui/WindowBase.h"

#include <memory>

class FeatureEntry;

extern const WCHAR kMainWindowClass[];
constexpr UINT WM_MISSED_CALL = 1026;

class MainWindow : public WindowBase {
public:
    ~MainWindow() override = default;

    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;

    // Loads the settings, registers the class, makes and shows the window; interactively also shows the
    // welcome hint and asks the shell whether the program may run.
    HRESULT Create(HINSTANCE instance, int show);

    // Runs a feature over owner; a success closes the program when AutoExit is set and the feature says so.
    HRESULT RunFeature(const FeatureEntry& entry, HWND owner);

    // The scheduled send of a wake-up, and the answer to a missed call, after which the program closes in
    // silent mode or with AutoExit.
    HRESULT RunScheduledSend();
    HRESULT HandleMissedCall();

    Settings& GetSettings() { return m_settings; }

private:
    LRESULT OnCreate();
    void OnDestroy();
    void OnCommand(UINT command);
    void FocusList();

    Settings m_settings;
    HWND m_menuBar = nullptr;
    std::unique_ptr<FeatureList> m_featureList; // none in silent mode
};

extern MainWindow g_mainWindow;
