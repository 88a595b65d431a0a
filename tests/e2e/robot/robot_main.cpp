// robot.exe SCENARIO: drives a Windows program through its dialogs as the
// scenario file says, one step a line, and logs every step. Exit status 0:
// every step passed; 1: a step failed (the log says what was expected and
// what was found); 2: the scenario cannot be read.
#include <cstdio>
#include <string>
#include <vector>

#include "tests/e2e/robot/log.h"
#include "tests/e2e/robot/robot.h"
#include "tests/e2e/robot/scenario.h"

namespace {

bool read_file(const char* path, std::string* text) {
    FILE* in = std::fopen(path, "rb");
    if (!in) return false;
    char buffer[4096];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) text->append(buffer, got);
    const bool read = !std::ferror(in);
    std::fclose(in);
    return read;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: robot SCENARIO\n\nsteps:\n%s", Robot::verbs().c_str());
        return 2;
    }
    std::string text;
    std::vector<Step> steps;
    std::string error;
    if (!read_file(argv[1], &text)) {
        std::fprintf(stderr, "robot: cannot read %s\n", argv[1]);
        return 2;
    }
    if (!parse_scenario(text, &steps, &error) || !Robot::check(steps, &error)) {
        std::fprintf(stderr, "robot: %s: %s\n", argv[1], error.c_str());
        return 2;
    }
    Robot robot;
    if (!robot.run(steps)) return 1;
    log_line("all %u steps passed", static_cast<unsigned>(steps.size()));
    return 0;
}
