#include "tests/e2e/robot/scenario.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

// Reads the quoted word that starts at line[*at] (the opening quote).
bool read_quoted(const std::string& line, size_t* at, std::string* word) {
    size_t i = *at + 1;
    while (i < line.size()) {
        const char c = line[i];
        if (c == '"') {
            *at = i + 1;
            return true;
        }
        if (c == '\\' && i + 1 < line.size()) {
            const char next = line[i + 1];
            if (next == 'n') *word += '\n';
            else if (next == '"' || next == '\\') *word += next;
            else *word += "\\" + std::string(1, next);
            i += 2;
            continue;
        }
        *word += c;
        ++i;
    }
    return false;
}

bool split_words(const std::string& line, std::vector<std::string>* words) {
    size_t at = 0;
    for (;;) {
        while (at < line.size() && is_blank(line[at])) ++at;
        if (at >= line.size()) return true;
        std::string word;
        if (line[at] == '"') {
            if (!read_quoted(line, &at, &word)) return false;
        } else {
            while (at < line.size() && !is_blank(line[at])) word += line[at++];
        }
        words->push_back(word);
    }
}

}  // namespace

bool parse_scenario(const std::string& text, std::vector<Step>* steps, std::string* error) {
    size_t start = 0;
    int number = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(start, end - start);
        start = end + 1;
        ++number;

        const size_t first = line.find_first_not_of(" \t\r");
        if (first == std::string::npos || line[first] == '#') continue;
        std::vector<std::string> words;
        if (!split_words(line, &words)) {
            *error = "line " + std::to_string(number) + ": unterminated quote";
            return false;
        }
        Step step;
        step.line = number;
        step.verb = words[0];
        step.args.assign(words.begin() + 1, words.end());
        step.source = line;
        while (!step.source.empty() && is_blank(step.source.back())) step.source.pop_back();
        steps->push_back(step);
    }
    return true;
}
