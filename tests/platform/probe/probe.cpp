// A device program for the tests, started through the entry shim. "hold PATH" opens the device file
// without sharing and keeps it open until its input ends; anything else is echoed as UTF-16 code units,
// and the program ends with the command line's length.
#include <windows.h>

#include <cstdio>
#include <string_view>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE hPrevInstance, LPWSTR lpCmdLine, int nShowCmd)
{
    std::u16string_view line(lpCmdLine);
    if (line.starts_with(u"hold ")) {
        HANDLE file = CreateFileW(lpCmdLine + 5, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            std::printf("failed %u\n", static_cast<unsigned>(GetLastError()));
            return 1;
        }
        std::printf("held\n");
        std::fflush(stdout);
        while (std::getchar() != EOF) {
        }
        CloseHandle(file);
        return 0;
    }
    bool isProgram = hInstance && hInstance == GetModuleHandleW(nullptr) && !hPrevInstance;
    std::printf("instance %s\nshow %d\nunits", isProgram ? "program" : "other", nShowCmd);
    for (char16_t unit : line)
        std::printf(" %04x", static_cast<unsigned>(unit));
    std::printf("\n");
    return static_cast<int>(line.size());
}
