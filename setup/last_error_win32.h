// The system's text for the calling thread's last error.
#pragma once

#include <cstddef>

// Writes the text for GetLastError() into `buffer`, at most `size` bytes with
// the terminator. Called right after the failing call.
void format_last_error(char* buffer, size_t size);
