// The options screen: whether the program closes after a feature was used, and the user's own number.
#pragma once

#include "app/Settings.h"
#include "ui/DialogBase.h"

class OptionsDialog : public DialogBase {
public:
    explicit OptionsDialog(Settings& settings) : m_settings(settings) {}

    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;

private:
    HRESULT OnInitDialog();
    HRESULT OnDone();

    Settings& m_settings;
};
