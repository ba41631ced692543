// A one-line text entry screen: a caption, one field, Done and Cancel. Done stays grey while the field is
// empty. Run it with RunDialog and a template whose controls are the caption 620 and the field 650.
#pragma once

#include "ui/DialogBase.h"

class TextEntryDialog : public DialogBase {
public:
    static constexpr int kTextCapacity = 260;

    // initialText: at most maxLength characters (longer is cut to fit the field); maxLength is at most
    // kTextCapacity - 1.
    TextEntryDialog(UINT captionId, BOOL numeric, LPCWSTR initialText, int maxLength = kTextCapacity - 1);

    LRESULT OnMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, BOOL& handled) override;

    // The entry, after the dialog ended with IDOK.
    LPCWSTR Text() const { return m_text; }

private:
    HRESULT OnInitDialog();
    bool OnDone();

    HWND m_edit = nullptr;
    UINT m_captionId;
    BOOL m_numeric;
    int m_maxLength;
    WCHAR m_text[kTextCapacity];
};
