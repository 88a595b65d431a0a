// What the setuppack commands share: exit statuses, one-line error messages,
// opening a package file, and texts for archive statuses and times.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "package/archive.h"

// 0: done (the package is sound, the checksums match). 1: the input was read
// but is damaged, or the operation failed part-way. 2: a usage error, or an
// input that cannot be read or is not what the command takes.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitBadInput = 2;

// Prints "setuppack: " and the formatted message as one line on stderr.
void print_error(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A package file mapped into memory and opened over the mapping, the way the
// setup opens the package resource in its own image.
struct OpenPackage {
    PackageArchive* archive = nullptr;
    void* mapping = nullptr;
    size_t size = 0;
};

// Prints the error and returns false when the path is missing, is not a
// regular file, or does not hold a package.
bool open_package(const char* path, OpenPackage* package);
void close_package(OpenPackage* package);

// What a failed archive status means, for messages.
const char* archive_status_text(ArchiveStatus status);

// "YYYY-MM-DD HH:MM:SS" in UTC.
constexpr size_t kTimeTextCapacity = 32;
void format_file_time(FileTime time, char* out);

// `name` with control bytes written as \xNN, so that a hostile entry name
// cannot break a message's single line or drive the terminal.
std::string shown_name(const std::string& name);

// Command entry points; `argc`/`argv` hold the command's own arguments.
int command_build(int argc, char** argv);
int command_list(int argc, char** argv);
int command_extract(int argc, char** argv);
int command_verify(int argc, char** argv);
int command_checksum(int argc, char** argv);

// The usage text, on `out`.
void print_usage(std::FILE* out);
