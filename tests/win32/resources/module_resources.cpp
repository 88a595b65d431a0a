#include "tests/win32/resources/module_resources.h"

namespace {

BOOL CALLBACK collect_language(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list) {
    reinterpret_cast<std::vector<WORD>*>(list)->push_back(language);
    return TRUE;
}

}  // namespace

ResourceBytes resource_bytes(LPCSTR type, LPCSTR name, WORD language) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC found = FindResourceExA(module, type, name, language);
    if (found == nullptr) return {};
    HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr) return {};
    return {static_cast<const uint8_t*>(LockResource(loaded)), uint32_t(SizeofResource(module, found))};
}

std::vector<WORD> resource_languages(LPCSTR type, LPCSTR name) {
    std::vector<WORD> languages;
    EnumResourceLanguagesA(GetModuleHandleA(nullptr), type, name, collect_language,
                           reinterpret_cast<LONG_PTR>(&languages));
    return languages;
}

std::string narrow(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) out.push_back(c < 0x80 ? char(c) : '?');
    return out;
}
