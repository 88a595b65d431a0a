// Reads the test program's own resources: raw bytes by type, name and
// language, and the languages a resource exists in.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

struct ResourceBytes {
    const uint8_t* data = nullptr;
    uint32_t size = 0;
};

// The resource's bytes in `language`; empty when there is no such resource.
ResourceBytes resource_bytes(LPCSTR type, LPCSTR name, WORD language);

// Every language the resource exists in, in the order the system reports.
std::vector<WORD> resource_languages(LPCSTR type, LPCSTR name);

constexpr WORD kNeutral = 0x0000;
constexpr WORD kEnglishUs = 0x0409;

// The ASCII form of a UTF-16 text (the resources hold ASCII only).
std::string narrow(const std::u16string& text);
