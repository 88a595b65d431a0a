#include "tests/e2e/robot/log.h"

#include <cstdarg>
#include <cstdio>

void log_line(const char* format, ...) {
    char buffer[4096];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    std::fputs(buffer, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

std::string one_line(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (c == '\n') out += "\\n";
        else if (c == '\r') out += "\\r";
        else out += c;
    }
    return out;
}
