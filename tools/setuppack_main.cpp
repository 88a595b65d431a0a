// setuppack: builds, lists, extracts and verifies setup packages, and checks
// or stamps the PE checksum of an executable.
#include <cstring>

#include "tools/setuppack_common.h"

namespace {

struct Command {
    const char* name;
    int (*run)(int argc, char** argv);
};

const Command kCommands[] = {
    {"build", command_build},       {"list", command_list},
    {"extract", command_extract},   {"verify", command_verify},
    {"checksum", command_checksum},
};

}  // namespace

void print_usage(std::FILE* out) {
    std::fputs(
        "usage: setuppack COMMAND ARGUMENTS\n"
        "\n"
        "  build OUT INPUT...      write the package OUT from files and folders\n"
        "  list PKG                list the entries of a package\n"
        "  extract PKG DIR         extract every entry into the folder DIR\n"
        "  verify PKG              read every entry and check its CRC-32 and length\n"
        "  checksum EXE [--stamp]  show the stored and the computed PE checksum;\n"
        "                          --stamp writes the computed one into the file\n"
        "\n"
        "build inputs:\n"
        "  FILE                    stored under its own file name\n"
        "  FOLDER                  its contents, recursively, named relative to FOLDER\n"
        "                          with '/' separators; sub-folders become folder entries\n"
        "  --as NAME SOURCE        SOURCE stored under NAME (a folder's contents go\n"
        "                          under NAME/, after a folder entry NAME/)\n"
        "  The first input must be a file: the program the setup starts.\n"
        "  Entries are deflated (best compression). All three stored times are the\n"
        "  source's modification time, clamped to SOURCE_DATE_EPOCH when it is set.\n"
        "  External attributes: 0x81800020 for a file, 0x81000021 for a read-only\n"
        "  file, 0x41ED0010 for a folder. Folder contents are sorted bytewise.\n"
        "\n"
        "exit status: 0 done, 1 damaged input or failed operation (checksum: no\n"
        "match), 2 usage error or unreadable input\n",
        out);
}

int main(int argc, char** argv) {
    if (argc < 2) {
        print_usage(stderr);
        return kExitBadInput;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "help") == 0) {
        print_usage(stdout);
        return kExitOk;
    }
    for (const Command& command : kCommands) {
        if (std::strcmp(argv[1], command.name) == 0) return command.run(argc - 2, argv + 2);
    }
    print_error("unknown command '%s'", argv[1]);
    print_usage(stderr);
    return kExitBadInput;
}
