// Why a program could not be started, in words.
#pragma once

#include <windef.h>

#include <string>

namespace phone {

std::string StartFailure(const std::string& program, DWORD error);

} // namespace phone
