// A library without an export table: its visible symbols are its exports.
#include <windows.h>

extern "C" int PlainFunction()
{
    SetLastError(ERROR_SUCCESS); // so the library depends on coredll, whose symbols are not its exports
    return 7;
}
