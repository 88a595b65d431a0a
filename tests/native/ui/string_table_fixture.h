// The setup's string table as the tests' fakes serve it.
#pragma once

#include <cstdint>
#include <cstring>
#include <map>
#include <string>

inline const std::map<uint32_t, std::string>& string_table() {
    static const std::map<uint32_t, std::string> table = {
        {103, "Songwright Setup"},
        {104, "C:\\Program Files\\Morrow\\Songwright"},
        {106, "Folder '%s' does not yet exist.\nDo you want to create it?"},
        {107, "Folder '%s' cannot be created.\nPlease choose another location."},
        {108, "Are you sure you want to abort the installation?"},
        {109, "Choose a location:"},
        {110, "There is not enough memory available."},
        {112, "The program has successfully been installed.\n\nYou can start it from the Windows Start "
              "menu, in the folder Program Files / Morrow."},
        {113, "The program was not completely installed."},
        {114, "The program cannot be installed."},
        {115, "The registration of the program in the system registry was not possible.\nIf you are "
              "installing on Windows NT, 2000 or XP, then please make sure you have Administrator rights."},
        {116, "An unexpected situation was encountered."},
    };
    return table;
}

inline std::string table_text(uint32_t id) {
    const auto found = string_table().find(id);
    return found == string_table().end() ? std::string() : found->second;
}

// LoadStringA's behaviour: the text cut to the capacity, empty when missing.
inline void load_table_string(uint32_t id, char* buffer, size_t capacity) {
    if (capacity == 0) return;
    const std::string text = table_text(id);
    const size_t length = text.size() < capacity - 1 ? text.size() : capacity - 1;
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
}
