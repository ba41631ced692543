#include "user/Window.h"

#include "commctrl/Controls.h"

#include <unicode/uchar.h>
#include <unicode/ustring.h>

#include <algorithm>

#include <unistd.h>

namespace device {

namespace {

// A handle names its process in the high half and a serial number in the low half, so handles are
// unique across the device and a handle of another process is recognised as such.
uint32_t SerialOf(HWND hwnd) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(hwnd) & 0xFFFFFFFFu); }
uint32_t ProcessOf(HWND hwnd) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(hwnd) >> 32); }

} // namespace

WindowTable& WindowTable::Instance()
{
    // Lives until exit: windows may outlive static destructors. The standard controls are there from the start.
    static WindowTable* table = [] {
        auto* made = new WindowTable;
        RegisterStandardControls(*made);
        return made;
    }();
    return *table;
}

HWND WindowTable::Add(std::shared_ptr<Window> window)
{
    auto lock = Lock();
    uint32_t serial = m_nextSerial++;
    auto hwnd = reinterpret_cast<HWND>((static_cast<uintptr_t>(getpid()) << 32) | serial);
    window->handle = hwnd;
    m_windows.emplace(serial, std::move(window));
    return hwnd;
}

void WindowTable::Remove(HWND hwnd)
{
    auto lock = Lock();
    m_windows.erase(SerialOf(hwnd));
    std::erase(m_activation, hwnd);
}

std::shared_ptr<Window> WindowTable::Find(HWND hwnd)
{
    if (!hwnd || ProcessOf(hwnd) != static_cast<uint32_t>(getpid()))
        return nullptr;
    auto lock = Lock();
    auto it = m_windows.find(SerialOf(hwnd));
    return it == m_windows.end() ? nullptr : it->second;
}

std::vector<HWND> WindowTable::TopLevelWindows()
{
    auto lock = Lock();
    std::vector<HWND> result = m_activation;
    for (auto& [serial, window] : m_windows) {
        if (!window->parent && std::find(result.begin(), result.end(), window->handle) == result.end())
            result.push_back(window->handle);
    }
    return result;
}

void WindowTable::Activate(HWND hwnd)
{
    auto lock = Lock();
    std::erase(m_activation, hwnd);
    m_activation.insert(m_activation.begin(), hwnd);
}

ATOM WindowTable::RegisterClass(const WNDCLASSW& info, bool system)
{
    auto lock = Lock();
    std::u16string name(info.lpszClassName);
    if (FindClass(name))
        return 0;
    auto cls = std::make_shared<WindowClass>();
    cls->info = info;
    cls->name = name;
    cls->folded = FoldCase(name);
    cls->system = system;
    cls->info.lpszClassName = cls->name.c_str();
    cls->info.lpszMenuName = nullptr;
    m_classes.push_back(cls);
    // Atoms of registered classes start at 0xC000, as the device numbers them.
    return static_cast<ATOM>(0xC000 + m_classes.size() - 1);
}

bool WindowTable::UnregisterClass(const std::u16string& name)
{
    auto lock = Lock();
    std::u16string folded = FoldCase(name);
    for (auto it = m_classes.begin(); it != m_classes.end(); ++it) {
        if ((*it)->folded == folded && !(*it)->system) {
            for (auto& [serial, window] : m_windows)
                if (window->cls == *it)
                    return false; // windows of the class still exist
            m_classes.erase(it);
            return true;
        }
    }
    return false;
}

std::shared_ptr<const WindowClass> WindowTable::FindClass(const std::u16string& name)
{
    auto lock = Lock();
    std::u16string folded = FoldCase(name);
    for (auto& cls : m_classes)
        if (cls->folded == folded)
            return cls;
    return nullptr;
}

std::u16string FoldCase(std::u16string_view text)
{
    std::u16string folded(text.size() * 2 + 1, u'\0');
    UErrorCode status = U_ZERO_ERROR;
    int32_t length = u_strFoldCase(folded.data(), static_cast<int32_t>(folded.size()), text.data(),
                                   static_cast<int32_t>(text.size()), U_FOLD_CASE_DEFAULT, &status);
    if (U_FAILURE(status))
        return std::u16string(text);
    folded.resize(length);
    return folded;
}

LRESULT CallProcedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    auto window = WindowTable::Instance().Find(hwnd);
    if (!window || !window->proc)
        return 0;
    return window->proc(hwnd, msg, wp, lp);
}

RECT ScreenRect(HWND hwnd)
{
    RECT result{};
    auto window = WindowTable::Instance().Find(hwnd);
    if (!window)
        return result;
    result = window->rect;
    for (HWND parent = window->parent; parent;) {
        auto p = WindowTable::Instance().Find(parent);
        if (!p)
            break;
        OffsetRect(&result, p->rect.left, p->rect.top);
        parent = p->parent;
    }
    return result;
}

} // namespace device
