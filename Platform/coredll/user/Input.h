// Input state shared by message retrieval and automation.
#pragma once

#include <windows.h>

namespace device {

void NoteKey(UINT msg, WPARAM vk); // a key message was taken from a queue
bool IsWaitCursor();

} // namespace device
