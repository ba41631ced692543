#include "ProgramErrors.h"

#include <winerror.h>

namespace phone {

std::string StartFailure(const std::string& program, DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return "no program at " + program;
    case ERROR_ACCESS_DENIED: return program + " is not a program file";
    case ERROR_BAD_FORMAT: return program + " is not a program the host can run";
    case ERROR_INVALID_NAME:
    case ERROR_FILENAME_EXCED_RANGE: return "'" + program + "' is not a device path (\\...) or host path (/...)";
    }
    return "cannot start " + program + " (error " + std::to_string(error) + ")";
}

} // namespace phone
