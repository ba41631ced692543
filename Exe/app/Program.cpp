#include "app/Program.h"

ProgramState g_program{};
