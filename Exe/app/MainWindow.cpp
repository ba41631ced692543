#include "app/MainWindow.h"

#include "app/Binding.h"
#include "app/FeatureEntry.h"
#include "app/OptionsDialog.h"
#include "app/Program.h"
#include "app/ResourceText.h"
#include "ui/DialogBase.h"
#include "ui/Layout.h"

#include "ids.h"

#include <aygshell.h>

#include <memory>
#include <new>

const WCHAR kMainWindowClass[] = TEXT("ZelkovaClass");

MainWindow g_mainWindow;

namespace {

constexpr DWORD kClassStyle = CS_HREDRAW | CS_VREDRAW;
constexpr DWORD kExtendedStyle = 0x20000000; // as the shell's full-screen windows are made
constexpr DWORD kWindowStyle = WS_CAPTION;
constexpr DWORD kCapabilities = 0x8000;
constexpr int kQuitNormal = 18;

// The exit code of a run that ends before it got going.
constexpr int kQuitFailed = 0;

void ShowError(HWND owner, UINT textId, LPCWSTR caption)
{
    std::unique_ptr<WCHAR[]> text(CopyResourceString(textId));
    MessageBoxW(owner, text ? text.get() : TEXT(""), caption, MB_OK | MB_ICONERROR);
}

} // namespace

HRESULT MainWindow::Create(HINSTANCE instance, int show)
{
    g_program.instance = instance;
    HRESULT result = m_settings.Load();
    if (FAILED(result))
        return result;

    WNDCLASSW windowClass{};
    windowClass.style = kClassStyle;
    windowClass.lpfnWndProc = &WindowBase::WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_PROGRAM));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_WINDOW + 1));
    windowClass.lpszClassName = kMainWindowClass;
    if (!RegisterClassW(&windowClass))
        return E_FAIL;

    HWND hwnd = CreateWindowExW(kExtendedStyle, kMainWindowClass, m_settings.AppTitle(), kWindowStyle, CW_USEDEFAULT,
                                CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, this);
    if (!hwnd)
        return E_FAIL;
    ShowWindow(hwnd, show);
    UpdateWindow(hwnd);
    if (g_program.silentMode)
        return S_OK;

    ShowHintOnce(hwnd, IDS_HINT_WELCOME);
    if (!shell::CapabilityQuery(kCapabilities)) {
        ShowError(hwnd, IDS_CANNOT_RUN, m_settings.AppTitle());
        return E_FAIL;
    }
    return S_OK;
}

LRESULT MainWindow::OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled)
{
    handled = TRUE;
    LRESULT result = 0;
    if (m_featureList && m_featureList->HandleScreenMessage(m_hwnd, IDC_FEATURE_LIST, msg, wp, lp, &result))
        return result;
    switch (msg) {
    case WM_CREATE: return OnCreate();
    case WM_DESTROY: OnDestroy(); return 0;
    case WM_SETFOCUS: FocusList(); return 0;
    case WM_INITMENUPOPUP:
        if (m_featureList)
            m_featureList->EnableCommandsForSelection(reinterpret_cast<HMENU>(wp), {IDM_SELECT, IDM_OPEN});
        return 0;
    case WM_COMMAND:
        OnCommand(LOWORD(wp));
        FocusList();
        return 0;
    case WM_MISSED_CALL: HandleMissedCall(); return 0;
    }
    if (g_program.wmScheduledSms && msg == g_program.wmScheduledSms) {
        RunScheduledSend();
        return 0;
    }
    handled = FALSE;
    return 0;
}

LRESULT MainWindow::OnCreate()
{
    SHINITDLGINFO fullScreen{SHIDIM_FLAGS, m_hwnd, SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN};
    if (!SHInitDialog(&fullScreen)) {
        PostQuitMessage(kQuitFailed);
        return 0;
    }
    if (!g_program.silentMode) {
        m_featureList.reset(new (std::nothrow) FeatureList);
        if (FAILED(CreateMenuBar(m_hwnd, g_program.resources, IDM_MAIN, &m_menuBar, FALSE)) || !m_featureList ||
            FAILED(m_featureList->Create(m_hwnd, IDC_FEATURE_LIST))) {
            PostQuitMessage(kQuitFailed);
            return 0;
        }
    }
    if (g_program.wakeUpStart && FAILED(RunScheduledSend()))
        PostQuitMessage(kQuitFailed);
    return 0;
}

void MainWindow::OnDestroy()
{
    m_settings.Save();
    if (m_menuBar)
        DestroyWindow(m_menuBar);
    m_menuBar = nullptr;
    m_featureList.reset();
    PostQuitMessage(kQuitNormal);
}

void MainWindow::OnCommand(UINT command)
{
    switch (command) {
    case IDM_EXIT: PostMessageW(m_hwnd, WM_CLOSE, 0, 0); break;
    case IDM_OPTIONS: {
        OptionsDialog options(m_settings);
        if (RunDialog(IDD_OPTIONS, m_hwnd, options) == IDOK)
            m_settings.Save();
        break;
    }
    case IDM_SELECT:
    case IDM_OPEN:
        if (m_featureList && m_featureList->SelectedRow() >= 0)
            m_featureList->Activate(m_featureList->SelectedRow());
        break;
    case IDM_SUPPORT_MAIL: {
        std::unique_ptr<WCHAR[]> subject(CopyResourceString(IDS_SUPPORT_MAIL_SUBJECT));
        utils::ComposeSupportMail(subject.get());
        break;
    }
    case IDM_RECOMMEND_MAIL: {
        std::unique_ptr<WCHAR[]> subject(CopyResourceString(IDS_RECOMMEND_MAIL_SUBJECT));
        std::unique_ptr<WCHAR[]> body(CopyResourceString(IDS_RECOMMEND_MAIL_BODY));
        utils::ComposeMail(subject.get(), body.get());
        break;
    }
    }
}

void MainWindow::FocusList()
{
    if (m_featureList && m_featureList->Window())
        SetFocus(m_featureList->Window());
}

HRESULT MainWindow::RunFeature(const FeatureEntry& entry, HWND owner)
{
    HRESULT result = entry.Action(owner);
    if (SUCCEEDED(result) && m_settings.AutoExit && entry.closesMain)
        SendMessageW(m_hwnd, WM_CLOSE, 0, 0);
    return result;
}
