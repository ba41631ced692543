// Edit control ("Edit"; "CAPEDIT" also capitalises): typing at the caret, selection, limit, read-only,
// digits-only and password styles, CR LF lines, the phone's Back key. Left out: the clipboard, word wrap,
// moving between lines with the arrow keys, placing the caret by a tap, drawing the caret; one undo level.
#include <windows.h>
#include <commctrl.h>

#include "commctrl/ControlSupport.h"
#include "commctrl/Controls.h"
#include "commctrl/Painting.h"

#include <unicode/uchar.h>

#include <algorithm>

namespace {

constexpr int kDefaultLimit = 32767;   // what the user may type before EM_LIMITTEXT says otherwise
constexpr int kLargestLimit = 0x7FFFFFFE; // EM_LIMITTEXT with 0

struct Edit {
    HWND hwnd = nullptr;
    int anchor = 0; // the selection runs from the anchor to the caret
    int caret = 0;
    int limit = kDefaultLimit;
    bool modified = false;
    WCHAR passwordChar = u'*';
    LPARAM inputMode = EIM_TEXT;
    bool capEdit = false;     // a CAPEDIT control: capitalises the first word, or every word
    bool capitalising = true;
    bool capitaliseAllWords = false;
    std::u16string undoText;
    int undoCaret = 0;
    bool canUndo = false;
};

DWORD Style(const Edit& edit) { return device::StyleOf(edit.hwnd); }
bool Multiline(const Edit& edit) { return (Style(edit) & ES_MULTILINE) != 0; }
int SelectionStart(const Edit& edit) { return std::min(edit.anchor, edit.caret); }
int SelectionEnd(const Edit& edit) { return std::max(edit.anchor, edit.caret); }

void Select(Edit& edit, int anchor, int caret)
{
    int length = static_cast<int>(device::TextOf(edit.hwnd).size());
    edit.anchor = std::clamp(anchor, 0, length);
    edit.caret = std::clamp(caret, 0, length);
}

// Replaces the characters [from, to) and leaves the caret after the inserted text.
void Replace(Edit& edit, int from, int to, std::u16string_view insert)
{
    std::u16string text = device::TextOf(edit.hwnd);
    edit.undoText = text;
    edit.undoCaret = edit.caret;
    edit.canUndo = true;
    text.replace(from, to - from, insert);
    device::StoreText(edit.hwnd, std::move(text));
    edit.caret = edit.anchor = from + static_cast<int>(insert.size());
    edit.modified = true;
}

void ReplaceSelection(Edit& edit, std::u16string_view insert)
{
    Replace(edit, SelectionStart(edit), SelectionEnd(edit), insert);
}

// --- Lines: the text split at CR LF ---

struct Line {
    int start;
    int length;
};

std::vector<Line> Lines(const Edit& edit)
{
    std::u16string text = device::TextOf(edit.hwnd);
    std::vector<Line> lines;
    size_t start = 0;
    for (;;) {
        size_t end = Multiline(edit) ? text.find(u"\r\n", start) : std::u16string::npos;
        if (end == std::u16string::npos) {
            lines.push_back({static_cast<int>(start), static_cast<int>(text.size() - start)});
            return lines;
        }
        lines.push_back({static_cast<int>(start), static_cast<int>(end - start)});
        start = end + 2;
    }
}

int LineOfChar(const Edit& edit, int index)
{
    if (index < 0)
        index = edit.caret;
    std::vector<Line> lines = Lines(edit);
    for (size_t i = 0; i + 1 < lines.size(); ++i)
        if (index < lines[i + 1].start)
            return static_cast<int>(i);
    return static_cast<int>(lines.size()) - 1;
}

LRESULT LineIndex(const Edit& edit, int line)
{
    std::vector<Line> lines = Lines(edit);
    if (line < 0)
        line = LineOfChar(edit, -1);
    return line < static_cast<int>(lines.size()) ? lines[line].start : -1;
}

LRESULT LineLength(const Edit& edit, int index)
{
    return Lines(edit)[LineOfChar(edit, index)].length;
}

// The first WORD of the buffer holds its capacity; the line is copied without a terminator.
LRESULT GetLine(const Edit& edit, int line, LPWSTR buffer)
{
    std::vector<Line> lines = Lines(edit);
    if (!buffer || line < 0 || line >= static_cast<int>(lines.size()))
        return 0;
    int capacity = buffer[0];
    std::u16string text = device::TextOf(edit.hwnd);
    int count = std::min(capacity, lines[line].length);
    std::copy_n(text.begin() + lines[line].start, count, buffer);
    return count;
}

// --- Typing ---

WCHAR Capitalised(const Edit& edit, WCHAR ch)
{
    DWORD style = Style(edit);
    if (style & ES_UPPERCASE)
        return static_cast<WCHAR>(u_toupper(ch));
    if (style & ES_LOWERCASE)
        return static_cast<WCHAR>(u_tolower(ch));
    if (!edit.capEdit || !edit.capitalising)
        return ch;
    std::u16string before = device::TextOf(edit.hwnd).substr(0, SelectionStart(edit));
    bool startsWord = before.empty() || u_isspace(before.back());
    bool firstWord = before.find_first_not_of(u" \t\r\n") == std::u16string::npos;
    return startsWord && (firstWord || edit.capitaliseAllWords) ? static_cast<WCHAR>(u_totitle(ch)) : ch;
}

// Inserts what the user typed, unless the styles or the limit refuse it.
void Type(Edit& edit, std::u16string_view insert)
{
    if (Style(edit) & ES_NUMBER)
        for (WCHAR ch : insert)
            if (ch < u'0' || ch > u'9')
                return;
    int length = static_cast<int>(device::TextOf(edit.hwnd).size());
    int after = length - (SelectionEnd(edit) - SelectionStart(edit)) + static_cast<int>(insert.size());
    if (after > edit.limit) {
        device::NotifyCommand(edit.hwnd, EN_MAXTEXT);
        return;
    }
    ReplaceSelection(edit, insert);
    device::NotifyCommand(edit.hwnd, EN_UPDATE);
    device::NotifyCommand(edit.hwnd, EN_CHANGE);
}

// Backspace removes the selection, else the character (or line break) before the caret.
void Erase(Edit& edit, bool forward)
{
    int from = SelectionStart(edit), to = SelectionEnd(edit);
    if (from == to) {
        std::u16string text = device::TextOf(edit.hwnd);
        if (forward) {
            if (to >= static_cast<int>(text.size()))
                return;
            to += text.compare(to, 2, u"\r\n") == 0 ? 2 : 1;
        } else {
            if (from == 0)
                return;
            from -= from >= 2 && text.compare(from - 2, 2, u"\r\n") == 0 ? 2 : 1;
        }
    }
    Replace(edit, from, to, u"");
    device::NotifyCommand(edit.hwnd, EN_UPDATE);
    device::NotifyCommand(edit.hwnd, EN_CHANGE);
}

LRESULT OnChar(Edit& edit, WCHAR ch)
{
    if (Style(edit) & ES_READONLY)
        return 0;
    if (ch == VK_BACK)
        Erase(edit, false);
    else if (ch == u'\r') {
        if (Multiline(edit))
            Type(edit, u"\r\n");
    } else if (ch >= 0x20)
        Type(edit, std::u16string(1, Capitalised(edit, ch)));
    return 0;
}

// The phone's Back key, handed on by the dialog as WM_HOTKEY: a press is a backspace, a press and
// hold empties a one-line control. The release does nothing.
LRESULT OnBackKey(Edit& edit, LPARAM lp)
{
    if (HIWORD(lp) != VK_TBACK || (LOWORD(lp) & MOD_KEYUP) || (Style(edit) & ES_READONLY))
        return 0;
    if ((LOWORD(lp) & MOD_HOLD) && !Multiline(edit)) {
        int length = static_cast<int>(device::TextOf(edit.hwnd).size());
        if (length == 0)
            return 0;
        Replace(edit, 0, length, u"");
        device::NotifyCommand(edit.hwnd, EN_UPDATE);
        device::NotifyCommand(edit.hwnd, EN_CHANGE);
        return 0;
    }
    Erase(edit, false);
    return 0;
}

LRESULT OnKeyDown(Edit& edit, WPARAM vk)
{
    bool extend = GetKeyState(VK_SHIFT) < 0;
    int length = static_cast<int>(device::TextOf(edit.hwnd).size());
    int caret = edit.caret;
    switch (vk) {
    case VK_LEFT: caret = std::max(0, caret - 1); break;
    case VK_RIGHT: caret = std::min(length, caret + 1); break;
    case VK_HOME: caret = static_cast<int>(LineIndex(edit, -1)); break;
    case VK_END: caret = static_cast<int>(LineIndex(edit, -1) + LineLength(edit, -1)); break;
    case VK_DELETE:
        if (!(Style(edit) & ES_READONLY))
            Erase(edit, true);
        return 0;
    default: return 0;
    }
    Select(edit, extend ? edit.anchor : caret, caret);
    return 0;
}

// --- Messages from the program ---

LRESULT OnSetText(Edit& edit, LPCWSTR text)
{
    device::StoreText(edit.hwnd, text ? std::u16string(text) : std::u16string());
    edit.anchor = edit.caret = 0;
    edit.modified = false;
    edit.canUndo = false;
    // A multi-line control does not report text set this way.
    if (!Multiline(edit)) {
        device::NotifyCommand(edit.hwnd, EN_UPDATE);
        device::NotifyCommand(edit.hwnd, EN_CHANGE);
    }
    return TRUE;
}

LRESULT SetSelection(Edit& edit, int start, int end)
{
    int length = static_cast<int>(device::TextOf(edit.hwnd).size());
    if (start == -1)
        Select(edit, edit.caret, edit.caret); // removes the selection, keeps the caret
    else
        Select(edit, start, end < 0 ? length : end);
    return 0;
}

LRESULT GetSelection(const Edit& edit, DWORD* start, DWORD* end)
{
    if (start)
        *start = static_cast<DWORD>(SelectionStart(edit));
    if (end)
        *end = static_cast<DWORD>(SelectionEnd(edit));
    return MAKELRESULT(std::min(SelectionStart(edit), 0xFFFF), std::min(SelectionEnd(edit), 0xFFFF));
}

LRESULT ReplaceSelectionText(Edit& edit, LPCWSTR text)
{
    ReplaceSelection(edit, text ? std::u16string_view(text) : std::u16string_view());
    device::NotifyCommand(edit.hwnd, EN_UPDATE);
    device::NotifyCommand(edit.hwnd, EN_CHANGE);
    return 0;
}

LRESULT Undo(Edit& edit)
{
    if (!edit.canUndo)
        return FALSE;
    std::u16string previous = device::TextOf(edit.hwnd);
    int caret = edit.caret;
    device::StoreText(edit.hwnd, edit.undoText);
    edit.caret = edit.anchor = edit.undoCaret;
    edit.undoText = std::move(previous);
    edit.undoCaret = caret;
    device::NotifyCommand(edit.hwnd, EN_CHANGE);
    return TRUE;
}

LRESULT SetPasswordChar(Edit& edit, WCHAR ch)
{
    edit.passwordChar = ch;
    device::SetStyleBits(edit.hwnd, ES_PASSWORD, ch != 0);
    InvalidateRect(edit.hwnd, nullptr, TRUE);
    return 0;
}

// The Smartphone input mode only changes how the keypad produces characters, which the device's keys
// deliver ready-made; the mode is kept so the program can read it back.
LRESULT SetInputMode(Edit& edit, LPARAM mode)
{
    if (EIM_MODE(mode) > EIM_TEXT)
        return FALSE;
    edit.inputMode = mode;
    return TRUE;
}

// A one-line field has no use for up and down: on the phone they move to the next field, so the field
// leaves them to the dialog and keeps left and right for its caret.
// Up and down go to the dialog, which moves to the next control: this control does not move between lines,
// so a multi-line one stands where the device's does on its first or last line.
LRESULT DialogCode(const Edit& edit, LPARAM lp)
{
    auto msg = reinterpret_cast<const MSG*>(lp);
    bool vertical = msg && msg->message == WM_KEYDOWN && (msg->wParam == VK_UP || msg->wParam == VK_DOWN);
    if (vertical)
        return DLGC_WANTCHARS | DLGC_HASSETSEL;
    return DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS | (Multiline(edit) ? DLGC_WANTALLKEYS : 0);
}

// Read-only and disabled controls take their colours as static text does (WM_CTLCOLORSTATIC).
LRESULT Paint(const Edit& edit)
{
    device::PaintScope paint(edit.hwnd);
    HDC dc = paint.Dc();
    RECT client = paint.Client();
    DWORD style = Style(edit);
    bool asStatic = (style & ES_READONLY) || !IsWindowEnabled(edit.hwnd);
    device::PaintBackground(edit.hwnd, dc, asStatic ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT, client);
    if (style & WS_BORDER)
        device::Frame(dc, client, COLOR_WINDOWFRAME);
    std::u16string text = device::TextOf(edit.hwnd);
    if ((style & ES_PASSWORD) && edit.passwordChar)
        text.assign(text.size(), edit.passwordChar);
    RECT area = client;
    InflateRect(&area, -2, -1);
    UINT format = DT_NOPREFIX | ((style & ES_CENTER) ? DT_CENTER : (style & ES_RIGHT) ? DT_RIGHT : DT_LEFT);
    format |= Multiline(edit) ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER;
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &area, format);
    return 0;
}

LRESULT OnCreate(Edit& edit, const CREATESTRUCTW* cs)
{
    WCHAR name[16] = {};
    GetClassNameW(edit.hwnd, name, 16);
    edit.capEdit = device::FoldCase(name) == device::FoldCase(WC_CAPEDIT);
    if (cs && (cs->style & ES_PASSWORD) == 0)
        edit.passwordChar = 0;
    return 0;
}

} // namespace

namespace device {

LRESULT CALLBACK EditProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NCCREATE) {
        CreateState<Edit>(hwnd);
        return DefWindowProcW(hwnd, msg, wp, lp);
    }
    Edit* edit = StateOf<Edit>(hwnd);
    if (!edit)
        return DefWindowProcW(hwnd, msg, wp, lp);
    if (edit->capEdit && msg == CEM_UPCASEALLWORDS) {
        edit->capitaliseAllWords = wp != 0;
        return TRUE;
    }
    if (edit->capEdit && msg == CEM_ENABLEUPCASE) {
        edit->capitalising = wp != 0;
        return TRUE;
    }
    switch (msg) {
    case WM_CREATE: return OnCreate(*edit, reinterpret_cast<const CREATESTRUCTW*>(lp));
    case WM_SETTEXT: return OnSetText(*edit, reinterpret_cast<LPCWSTR>(lp));
    case WM_CHAR: return OnChar(*edit, static_cast<WCHAR>(wp));
    case WM_KEYDOWN: return OnKeyDown(*edit, wp);
    case WM_HOTKEY: return OnBackKey(*edit, lp);
    case WM_PAINT: return Paint(*edit);
    case WM_GETDLGCODE: return DialogCode(*edit, lp);
    case WM_SETFOCUS: NotifyCommand(hwnd, EN_SETFOCUS); return 0;
    case WM_KILLFOCUS: NotifyCommand(hwnd, EN_KILLFOCUS); return 0;
    case WM_LBUTTONDOWN: SetFocus(hwnd); return 0;
    case EM_SETSEL: return SetSelection(*edit, static_cast<int>(wp), static_cast<int>(lp));
    case EM_GETSEL: return GetSelection(*edit, reinterpret_cast<DWORD*>(wp), reinterpret_cast<DWORD*>(lp));
    case EM_REPLACESEL: return ReplaceSelectionText(*edit, reinterpret_cast<LPCWSTR>(lp));
    case EM_LIMITTEXT: edit->limit = wp ? static_cast<int>(std::min<WPARAM>(wp, kLargestLimit)) : kLargestLimit; return 0;
    case EM_GETLIMITTEXT: return edit->limit;
    case EM_SETREADONLY: SetStyleBits(hwnd, ES_READONLY, wp != 0); return TRUE;
    case EM_GETMODIFY: return edit->modified;
    case EM_SETMODIFY: edit->modified = wp != 0; return 0;
    case EM_GETLINECOUNT: return static_cast<LRESULT>(Lines(*edit).size());
    case EM_LINEINDEX: return LineIndex(*edit, static_cast<int>(wp));
    case EM_LINELENGTH: return LineLength(*edit, static_cast<int>(wp));
    case EM_LINEFROMCHAR: return LineOfChar(*edit, static_cast<int>(wp));
    case EM_GETLINE: return GetLine(*edit, static_cast<int>(wp), reinterpret_cast<LPWSTR>(lp));
    case EM_SCROLLCARET: return TRUE;
    case EM_CANUNDO: return edit->canUndo;
    case EM_UNDO: return Undo(*edit);
    case EM_EMPTYUNDOBUFFER: edit->canUndo = false; return 0;
    case EM_SETPASSWORDCHAR: return SetPasswordChar(*edit, static_cast<WCHAR>(wp));
    case EM_GETPASSWORDCHAR: return edit->passwordChar;
    case EM_SETINPUTMODE: return SetInputMode(*edit, lp);
    case EM_GETINPUTMODE: return edit->inputMode;
    case WM_NCDESTROY: DestroyState<Edit>(hwnd); return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

} // namespace device
