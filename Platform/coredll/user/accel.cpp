// Accelerator tables: key combinations that become WM_COMMAND messages (high word 1) for a window.
#include <windows.h>

#include "user/Accelerators.h"
#include "user/ModuleResource.h"
#include "user/TemplateReader.h"

#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace {

// Handles carry a tag above any serial number, as menu handles do.
constexpr uintptr_t kSerialMask = (uintptr_t{1} << 40) - 1;
constexpr uintptr_t kAccelTag = uintptr_t{0x41} << 40;

class AccelTables {
public:
    static AccelTables& Instance()
    {
        static auto* tables = new AccelTables;
        return *tables;
    }

    HACCEL Add(std::vector<ACCEL> entries)
    {
        std::lock_guard guard(m_mutex);
        uintptr_t serial = m_nextSerial++;
        m_tables.emplace(serial, std::make_shared<const std::vector<ACCEL>>(std::move(entries)));
        return reinterpret_cast<HACCEL>(kAccelTag | serial);
    }

    std::shared_ptr<const std::vector<ACCEL>> Find(HACCEL handle)
    {
        std::lock_guard guard(m_mutex);
        auto it = m_tables.find(SerialOf(handle));
        return it == m_tables.end() ? nullptr : it->second;
    }

    bool Remove(HACCEL handle)
    {
        std::lock_guard guard(m_mutex);
        return m_tables.erase(SerialOf(handle)) > 0;
    }

private:
    static uintptr_t SerialOf(HACCEL handle)
    {
        auto value = reinterpret_cast<uintptr_t>(handle);
        return (value & ~kSerialMask) == kAccelTag ? value & kSerialMask : 0;
    }

    std::mutex m_mutex;
    std::unordered_map<uintptr_t, std::shared_ptr<const std::vector<ACCEL>>> m_tables;
    uintptr_t m_nextSerial = 1;
};

constexpr BYTE kModifiers = FSHIFT | FCONTROL | FALT;

BYTE ModifiersDown()
{
    BYTE down = 0;
    if (GetKeyState(VK_SHIFT) < 0)
        down |= FSHIFT;
    if (GetKeyState(VK_CONTROL) < 0)
        down |= FCONTROL;
    if (GetKeyState(VK_MENU) < 0)
        down |= FALT;
    return down;
}

// A virtual-key entry matches a key press with exactly its modifiers; a character entry matches the
// character, typed with Alt when it says FALT.
bool Matches(const ACCEL& entry, const MSG& msg)
{
    switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return (entry.fVirt & FVIRTKEY) && entry.key == msg.wParam && (entry.fVirt & kModifiers) == ModifiersDown();
    case WM_CHAR:
    case WM_SYSCHAR:
        return !(entry.fVirt & FVIRTKEY) && entry.key == msg.wParam &&
               ((entry.fVirt & FALT) != 0) == (msg.message == WM_SYSCHAR);
    }
    return false;
}

} // namespace

namespace device {

HACCEL AcceleratorsFromResource(const void* data, size_t size)
{
    constexpr WORD kLastEntry = 0x80;
    TemplateReader in(static_cast<const BYTE*>(data), size);
    std::vector<ACCEL> entries;
    for (;;) {
        WORD flags = in.Word();
        ACCEL entry{static_cast<BYTE>(flags & ~kLastEntry), in.Word(), in.Word()};
        in.Word(); // padding to eight bytes
        if (!in.Ok())
            return nullptr;
        entries.push_back(entry);
        if (flags & kLastEntry)
            return AccelTables::Instance().Add(std::move(entries));
    }
}

} // namespace device

HACCEL WINAPI LoadAcceleratorsW(HINSTANCE hInstance, LPCWSTR lpTableName)
{
    device::ResourceBytes resource = device::FindModuleResource(hInstance, lpTableName, RT_ACCELERATOR);
    if (!resource.data)
        return nullptr;
    HACCEL table = device::AcceleratorsFromResource(resource.data, resource.size);
    if (!table)
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
    return table;
}

HACCEL WINAPI CreateAcceleratorTableW(LPACCEL paccel, int cAccel)
{
    if (!paccel || cAccel <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return AccelTables::Instance().Add(std::vector<ACCEL>(paccel, paccel + cAccel));
}

BOOL WINAPI DestroyAcceleratorTable(HACCEL hAccel)
{
    if (!AccelTables::Instance().Remove(hAccel)) {
        SetLastError(ERROR_INVALID_ACCEL_HANDLE);
        return FALSE;
    }
    return TRUE;
}

int WINAPI TranslateAcceleratorW(HWND hWnd, HACCEL hAccTable, LPMSG lpMsg)
{
    if (!IsWindow(hWnd)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return 0;
    }
    auto table = AccelTables::Instance().Find(hAccTable);
    if (!table) {
        SetLastError(ERROR_INVALID_ACCEL_HANDLE);
        return 0;
    }
    if (!lpMsg)
        return 0;
    for (const ACCEL& entry : *table) {
        if (Matches(entry, *lpMsg)) {
            // High word 1 tells an accelerator from a menu or a control.
            SendMessageW(hWnd, WM_COMMAND, MAKEWPARAM(entry.cmd, 1), 0);
            return 1;
        }
    }
    return 0;
}
