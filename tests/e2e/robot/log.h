// The robot's log: one line per step and per finding, on standard output,
// flushed at once so that a run that stalls still shows where it stopped.
#pragma once

#include <string>

void log_line(const char* format, ...) __attribute__((format(gnu_printf, 1, 2)));

// `text` on one line: line feeds as \n, carriage returns as \r.
std::string one_line(const std::string& text);
