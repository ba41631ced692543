// The process's table of kernel object handles (files, threads, events). Handles are never reused, so a
// stale or made-up handle is found to be invalid rather than naming some other object.
#pragma once

#include <windef.h>

#include <memory>

namespace device {

class KernelObject {
public:
    virtual ~KernelObject() = default;
};

HANDLE AddHandle(std::shared_ptr<KernelObject> object);

// The object behind a handle; null for a closed or unknown handle.
std::shared_ptr<KernelObject> FindHandle(HANDLE handle);

template <class T> std::shared_ptr<T> FindHandleOf(HANDLE handle)
{
    return std::dynamic_pointer_cast<T>(FindHandle(handle));
}

// Removes the handle; the object lives on while anyone (a wait, a running thread) still holds it.
bool RemoveHandle(HANDLE handle);

} // namespace device
