// The exports of testlib.def, and one function the .def file leaves out.
#include <windows.h>

extern "C" {

int AddNumbers(int a, int b)
{
    return a + b;
}

LPCWSTR Greeting()
{
    return TEXT("hello from testlib");
}

int MultiplyNumbers(int a, int b)
{
    return a * b;
}

int Counter = 41;

int Describe()
{
    return 3;
}

int NotExported()
{
    return -1;
}

} // extern "C"
