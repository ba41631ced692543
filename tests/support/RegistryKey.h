// An open registry key for tests, closed on every path, also when an assertion ends the test early.
#pragma once

#include <windows.h>

namespace testing_support {

class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey() { Close(); }
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    HKEY* Out()
    {
        Close();
        return &m_key;
    }
    operator HKEY() const { return m_key; }
    void Close()
    {
        if (m_key)
            RegCloseKey(m_key);
        m_key = nullptr;
    }

private:
    HKEY m_key = nullptr;
};

} // namespace testing_support
