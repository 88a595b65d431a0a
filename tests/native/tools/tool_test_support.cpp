#include "tool_test_support.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

extern char** environ;

namespace {

std::string read_text(const std::string& path) {
    const Bytes bytes = read_file(path);
    return std::string(bytes.begin(), bytes.end());
}

}  // namespace

void write_text(const std::string& path, const std::string& text) {
    write_file(path, Bytes(text.begin(), text.end()));
}

void make_folder(const std::string& path) {
    if (mkdir(path.c_str(), 0755) != 0) throw std::runtime_error("cannot create " + path);
}

void set_mtime(const std::string& path, int64_t seconds) {
    const timespec times[2] = {{time_t(seconds), 0}, {time_t(seconds), 0}};
    if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0)
        throw std::runtime_error("cannot set the time of " + path);
}

int64_t mtime_of(const std::string& path) {
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) return -1;
    return int64_t(info.st_mtim.tv_sec);
}

std::vector<std::string> folder_listing(const std::string& path) {
    std::vector<std::string> names;
    DIR* listing = opendir(path.c_str());
    if (!listing) return names;
    while (const dirent* item = readdir(listing)) {
        if (std::strcmp(item->d_name, ".") != 0 && std::strcmp(item->d_name, "..") != 0)
            names.push_back(item->d_name);
    }
    closedir(listing);
    std::sort(names.begin(), names.end());
    return names;
}

Bytes text_bytes(size_t size, uint32_t seed) {
    static const char* const kWords[] = {"setup ", "song ", "wright ", "folder ", "copy ", "\r\n"};
    Bytes bytes;
    uint32_t state = seed * 2654435761u + 1;
    while (bytes.size() < size) {
        state = state * 1103515245u + 12345u;
        const char* word = kWords[(state >> 16) % 6];
        for (const char* p = word; *p && bytes.size() < size; ++p) bytes.push_back(uint8_t(*p));
    }
    return bytes;
}

Bytes noise_bytes(size_t size, uint32_t seed) {
    Bytes bytes(size);
    uint64_t state = seed * 0x9E3779B97F4A7C15ull + 7;
    for (uint8_t& byte : bytes) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        byte = uint8_t(state >> 24);
    }
    return bytes;
}

RunResult run_program(const std::string& program, const std::vector<std::string>& arguments,
                      const EnvChanges& env) {
    TempFolder capture;
    const std::string out_path = capture.join("out");
    const std::string err_path = capture.join("err");

    std::vector<std::string> variables;
    for (char** p = environ; *p; ++p) variables.push_back(*p);
    EnvChanges changes = env;
    if (std::none_of(env.begin(), env.end(),
                     [](const auto& change) { return change.first == "SOURCE_DATE_EPOCH"; }))
        changes.push_back({"SOURCE_DATE_EPOCH", std::nullopt});
    for (const auto& [name, value] : changes) {
        const std::string prefix = name + "=";
        variables.erase(std::remove_if(variables.begin(), variables.end(),
                                       [&](const std::string& v) { return v.rfind(prefix, 0) == 0; }),
                        variables.end());
        if (value) variables.push_back(prefix + *value);
    }
    std::vector<char*> envp;
    for (std::string& v : variables) envp.push_back(&v[0]);
    envp.push_back(nullptr);
    std::vector<std::string> argv_strings{program};
    argv_strings.insert(argv_strings.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : argv_strings) argv.push_back(&a[0]);
    argv.push_back(nullptr);

    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        const int out = open(out_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open(err_path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int in = open("/dev/null", O_RDONLY);
        if (out < 0 || err < 0 || in < 0) _exit(127);
        dup2(in, 0);
        dup2(out, 1);
        dup2(err, 2);
        execve(program.c_str(), argv.data(), envp.data());
        _exit(127);
    }
    RunResult result;
    int status = 0;
    if (child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status))
        result.exit_code = WEXITSTATUS(status);
    result.out = read_text(out_path);
    result.err = read_text(err_path);
    return result;
}

RunResult run_setuppack(const std::vector<std::string>& arguments, const EnvChanges& env) {
    return run_program(SETUPPACK_PATH, arguments, env);
}

bool is_one_error_line(const std::string& err) {
    return err.rfind("setuppack: ", 0) == 0 && !err.empty() && err.back() == '\n' &&
           std::count(err.begin(), err.end(), '\n') == 1;
}

uint32_t get16(const Bytes& bytes, size_t at) {
    return uint32_t(bytes.at(at)) | uint32_t(bytes.at(at + 1)) << 8;
}

uint32_t get32(const Bytes& bytes, size_t at) { return get16(bytes, at) | get16(bytes, at + 2) << 16; }

void put32_at(Bytes& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes.at(at + size_t(i)) = uint8_t(value >> (8 * i));
}

bool walk_records(const Bytes& archive, RawRecords* records) {
    *records = RawRecords{};
    if (archive.size() < 22) return false;
    size_t end = archive.size() - 22 + 1;
    for (;;) {
        if (end == 0) return false;
        --end;
        if (get32(archive, end) == 0x06054B50) break;
    }
    records->end_offset = end;
    const uint32_t count = get16(archive, end + 10);
    size_t at = get32(archive, end + 16);
    for (uint32_t i = 0; i < count; ++i) {
        if (at + 46 > archive.size() || get32(archive, at) != 0x02014B50) return false;
        records->central_offsets.push_back(at);
        records->local_offsets.push_back(get32(archive, at + 42));
        at += 46 + get16(archive, at + 28) + get16(archive, at + 30) + get16(archive, at + 32);
    }
    return true;
}

Bytes minimal_pe_image(uint32_t pe_offset, uint32_t stored_checksum, size_t size) {
    Bytes image(size, 0);
    image[0] = 'M';
    image[1] = 'Z';
    put32_at(image, 60, pe_offset);
    image[pe_offset] = 'P';
    image[pe_offset + 1] = 'E';
    put32_at(image, pe_offset + kChecksumFieldFromPe, stored_checksum);
    return image;
}
