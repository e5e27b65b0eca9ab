#pragma once

#include <windows.h>

namespace platform {

// Closes a Win32 handle on every way out, unless it was handed over with release(). Null and
// INVALID_HANDLE_VALUE (the two "no handle" values of the API) are never closed.
class HandleGuard
{
public:
    explicit HandleGuard(HANDLE handle) : handle(handle) {}
    ~HandleGuard()
    {
        if (handle && handle != INVALID_HANDLE_VALUE)
            CloseHandle(handle);
    }
    HandleGuard(const HandleGuard &) = delete;
    HandleGuard &operator=(const HandleGuard &) = delete;
    void release() { handle = nullptr; }

private:
    HANDLE handle;
};

}  // namespace platform
