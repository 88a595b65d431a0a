// Writes a few small packages as the archive fuzzer's first inputs, so that
// it starts from the shapes the reader accepts.
#include <cstdio>
#include <string>
#include <vector>

#include "tools/package_writer.h"

namespace {

WriterEntry entry(const std::string& name, size_t size, uint32_t method) {
    WriterEntry e;
    e.name = name;
    for (size_t i = 0; i < size; ++i) e.contents.push_back(uint8_t("songwright "[i % 11]));
    e.method = method;
    e.local_extra = extended_timestamp_local(1700000000, 1700000001, 1700000002);
    e.central_extra = extended_timestamp_central(1700000000);
    return e;
}

bool save(const std::string& folder, const char* name, const Bytes& bytes) {
    const std::string path = folder + "/" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    return std::fclose(file) == 0 && ok;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_archive_seeds FOLDER\n");
        return 2;
    }
    const std::string folder = argv[1];
    WriterEntry folder_entry = entry("docs/", 0, kMethodStored);
    folder_entry.external_attributes = 0x41ED0010;
    WriterOptions prefixed;
    prefixed.prefix = Bytes(17, 0xAB);
    prefixed.comment = "comment";
    WriterEntry descriptor = entry("bit3.txt", 300, kMethodDeflate);
    descriptor.flags |= kFlagDataDescriptor;
    bool ok = save(folder, "three", write_package({entry("Songwright.exe", 3000, kMethodDeflate),
                                                   entry("Songwright.chm", 500, kMethodStored),
                                                   entry("License.rtf", 200, kMethodDeflate)}));
    ok = save(folder, "folders", write_package({folder_entry, entry("docs/a.txt", 40, kMethodDeflate)})) && ok;
    ok = save(folder, "prefixed", write_package({entry("a", 10, kMethodStored)}, prefixed)) && ok;
    ok = save(folder, "descriptor", write_package({descriptor})) && ok;
    ok = save(folder, "empty", write_package({}, prefixed)) && ok;
    return ok ? 0 : 1;
}
