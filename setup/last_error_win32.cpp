#include "setup/last_error_win32.h"

#include <windows.h>

void format_last_error(char* buffer, size_t size) {
    const DWORD code = GetLastError();
    if (size == 0) return;
    buffer[0] = '\0';
    // Inserts are ignored: a system text with "%1" would otherwise make the
    // call read arguments that were never passed.
    const DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        code, MAKELANGID(LANG_NEUTRAL, SUBLANG_SYS_DEFAULT), buffer,
                                        DWORD(size), nullptr);
    // A code the system has no text for still names the failure.
    if (length == 0) {
        wsprintfA(buffer, "Error %lu.", static_cast<unsigned long>(code));
        return;
    }
    // System texts end with a line break, which would leave an empty last
    // line in the final message.
    size_t end = lstrlenA(buffer);
    while (end > 0 && (buffer[end - 1] == '\r' || buffer[end - 1] == '\n' || buffer[end - 1] == ' '))
        buffer[--end] = '\0';
}
