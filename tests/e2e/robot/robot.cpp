#include "tests/e2e/robot/robot.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "tests/e2e/robot/log.h"
#include "tests/e2e/robot/screenshot.h"
#include "tests/e2e/robot/window_actions.h"

namespace {

bool to_number(const std::string& text, long* value) {
    if (text.empty()) return false;
    char* end = nullptr;
    *value = std::strtol(text.c_str(), &end, 0);
    return *end == '\0';
}

struct ButtonName {
    const char* name;
    int id;
};
constexpr ButtonName kButtons[] = {{"ok", IDOK}, {"cancel", IDCANCEL}, {"yes", IDYES}, {"no", IDNO}};

int button_id(const std::string& name) {
    for (const ButtonName& button : kButtons)
        if (name == button.name) return button.id;
    return 0;
}

std::string button_names(const std::vector<int>& ids) {
    std::string names;
    for (int id : ids)
        for (const ButtonName& button : kButtons)
            if (button.id == id) names += (names.empty() ? "" : ", ") + std::string(button.name);
    return names.empty() ? "none" : names;
}

// The optional "control ID" that follows a caption.
bool control_filter(const std::vector<std::string>& args, long* id) {
    *id = 0;
    return args.size() == 1 || (args.size() == 3 && args[1] == "control" && to_number(args[2], id));
}

// The path below HKEY_CURRENT_USER of "HKCU\Software\...", or empty.
std::string user_key(const std::string& path) {
    const std::string root = "HKCU\\";
    return path.compare(0, root.size(), root) == 0 ? path.substr(root.size()) : "";
}

}  // namespace

const Robot::Verb Robot::kVerbs[] = {
    {"start", 1, 1, &Robot::start, "start PROGRAM"},
    {"timeout", 1, 1, &Robot::set_timeout, "timeout MS  (how long later steps wait)"},
    {"poll", 1, 1, &Robot::set_poll, "poll MS  (how often they look)"},
    {"expect-dialog", 1, 3, &Robot::expect_dialog, "expect-dialog CAPTION [control ID]"},
    {"back", 0, 0, &Robot::back, "back  (the dialog before the current one is current again)"},
    {"expect-message", 2, 2, &Robot::expect_message, "expect-message CAPTION TEXT"},
    {"expect-message-start", 2, 2, &Robot::expect_message_start,
     "expect-message-start CAPTION TEXT  (the text starts with TEXT and goes on)"},
    {"expect-icon", 1, 1, &Robot::expect_icon, "expect-icon error|question|warning|information|none"},
    {"expect-default", 1, 1, &Robot::expect_default, "expect-default ok|cancel|yes|no"},
    {"expect-hidden", 0, 0, &Robot::expect_hidden, "expect-hidden  (the current dialog)"},
    {"expect-no-window", 1, 1, &Robot::expect_no_window, "expect-no-window MS"},
    {"expect-never-seen", 1, 3, &Robot::expect_never_seen, "expect-never-seen CAPTION [control ID]"},
    {"expect-text", 2, 2, &Robot::expect_text, "expect-text ID TEXT"},
    {"expect-text-contains", 2, 2, &Robot::expect_text_contains, "expect-text-contains ID TEXT"},
    {"expect-enabled", 1, 1, &Robot::expect_enabled, "expect-enabled ID"},
    {"expect-disabled", 1, 1, &Robot::expect_disabled, "expect-disabled ID"},
    {"check", 1, 1, &Robot::check_box, "check ID"},
    {"uncheck", 1, 1, &Robot::uncheck_box, "uncheck ID"},
    {"click", 1, 1, &Robot::click, "click ID"},
    {"set-text", 2, 2, &Robot::set_text, "set-text ID TEXT"},
    {"press-escape", 0, 0, &Robot::press_escape_key, "press-escape"},
    {"close-box", 0, 0, &Robot::close_box, "close-box"},
    {"answer", 1, 1, &Robot::answer, "answer ok|cancel|yes|no"},
    {"capture", 1, 1, &Robot::capture, "capture FILE.bmp  (the message box, else the dialog)"},
    {"capture-dialog", 1, 1, &Robot::capture_dialog, "capture-dialog FILE.bmp  (the dialog, even under a box)"},
    {"move", 2, 2, &Robot::move, "move X Y  (the message box, else the dialog, as if dragged)"},
    {"expect-animated", 2, 2, &Robot::expect_animated,
     "expect-animated ID MS  (control ID looks different MS later)"},
    {"expect-size", 3, 3, &Robot::expect_size, "expect-size ID WIDTH HEIGHT  (in pixels)"},
    {"remember-threads", 0, 0, &Robot::remember_threads, "remember-threads  (how many the program runs now)"},
    {"expect-fewer-threads", 0, 0, &Robot::expect_fewer_threads,
     "expect-fewer-threads  (than remembered: one has ended)"},
    {"say", 1, 1, &Robot::say, "say TEXT  (a line for the reader, after \"> \")"},
    {"print", 0, 0, &Robot::print, "print  (caption and texts, on lines that start with \"> \")"},
    {"print-dialog", 0, 0, &Robot::print_dialog, "print-dialog  (the dialog, even under a box)"},
    {"expect-exit", 1, 1, &Robot::expect_exit, "expect-exit CODE"},
    {"expect-process", 1, 1, &Robot::expect_process, "expect-process PATH"},
    {"end-process", 1, 1, &Robot::end_process_step, "end-process PATH"},
    {"expect-readonly", 2, 2, &Robot::expect_readonly, "expect-readonly PATH yes|no"},
    {"expect-registry", 3, 3, &Robot::expect_registry, "expect-registry HKCU\\KEY NAME VALUE"},
    {"delete-registry", 1, 1, &Robot::delete_registry, "delete-registry HKCU\\KEY"},
};

const Robot::Verb* Robot::find_verb(const std::string& name) {
    for (const Verb& verb : kVerbs)
        if (name == verb.name) return &verb;
    return nullptr;
}

std::string Robot::verbs() {
    std::string text;
    for (const Verb& verb : kVerbs) text += std::string("  ") + verb.usage + "\n";
    return text;
}

bool Robot::check(const std::vector<Step>& steps, std::string* error) {
    for (const Step& step : steps) {
        const Verb* verb = find_verb(step.verb);
        const std::string where = "line " + std::to_string(step.line) + ": ";
        if (!verb) {
            *error = where + "unknown step \"" + step.verb + "\"";
            return false;
        }
        if (step.args.size() < verb->min_args || step.args.size() > verb->max_args) {
            *error = where + "usage: " + verb->usage;
            return false;
        }
    }
    return true;
}

bool Robot::run(const std::vector<Step>& steps) {
    const DWORD begin = GetTickCount();
    for (const Step& step : steps) {
        step_ = &step;
        const DWORD elapsed = GetTickCount() - begin;
        log_line("%3lu.%03lu line %d: %s", static_cast<unsigned long>(elapsed / 1000),
                 static_cast<unsigned long>(elapsed % 1000), step.line, step.source.c_str());
        if ((this->*find_verb(step.verb)->handler)(step.args)) continue;
        if (process_.started()) {
            log_windows(process_.id());
            process_.terminate();
        }
        return false;
    }
    return true;
}

bool Robot::fail(const char* format, ...) {
    char message[4096];
    va_list arguments;
    va_start(arguments, format);
    std::vsnprintf(message, sizeof message, format, arguments);
    va_end(arguments);
    log_line("FAIL line %d: %s", step_->line, step_->source.c_str());
    log_line("  %s", message);
    return false;
}

// --- Program and environment ---

bool Robot::start(const Args& args) {
    std::string error;
    if (!process_.start(args[0], &error)) return fail("cannot start %s: %s", args[0].c_str(), error.c_str());
    history_.reset(process_.id());
    dialogs_.clear();
    box_ = nullptr;
    log_line("  started process %lu", static_cast<unsigned long>(process_.id()));
    return true;
}

bool Robot::set_timeout(const Args& args) {
    long value = 0;
    if (!to_number(args[0], &value) || value <= 0) return fail("not a time in milliseconds: %s", args[0].c_str());
    timeout_ms_ = DWORD(value);
    return true;
}

bool Robot::set_poll(const Args& args) {
    long value = 0;
    if (!to_number(args[0], &value) || value <= 0) return fail("not a time in milliseconds: %s", args[0].c_str());
    poll_ms_ = DWORD(value);
    return true;
}

bool Robot::ensure_started() {
    if (process_.started()) return true;
    return fail("no program has been started");
}

// --- Windows ---

template <typename Match>
HWND Robot::wait_for_window(Match match) {
    const DWORD begin = GetTickCount();
    for (;;) {
        std::vector<HWND> visible;
        history_.observe(&visible);
        for (HWND window : visible)
            if (!history_.claimed(window) && match(window)) return window;
        if (process_.wait(0) || GetTickCount() - begin >= timeout_ms_) return nullptr;
        Sleep(poll_ms_);
    }
}

std::string Robot::why_no_window() const {
    if (process_.wait(0)) return "the program ended with exit code " + std::to_string(process_.exit_code());
    return "none appeared within " + std::to_string(timeout_ms_) + " ms";
}

bool Robot::expect_dialog(const Args& args) {
    if (!ensure_started()) return false;
    long id = 0;
    if (!control_filter(args, &id)) return fail("usage: expect-dialog CAPTION [control ID]");
    HWND found = wait_for_window([&](HWND window) {
        return is_dialog(window) && !is_message_box(window) && caption_of(window) == args[0] &&
               (!id || GetDlgItem(window, int(id)) != nullptr);
    });
    if (!found) return fail("expected a dialog \"%s\": %s", args[0].c_str(), why_no_window().c_str());
    history_.claim(found);
    dialogs_.push_back(found);
    box_ = nullptr;
    log_line("  found dialog %p", static_cast<void*>(found));
    return true;
}

bool Robot::back(const Args&) {
    if (dialogs_.size() < 2) return fail("there is no dialog before the current one");
    dialogs_.pop_back();
    return true;
}

HWND Robot::find_message(const std::string& caption) {
    if (!ensure_started()) return nullptr;
    HWND found = wait_for_window([&](HWND window) { return is_message_box(window) && caption_of(window) == caption; });
    if (!found) {
        fail("expected a message box \"%s\": %s", caption.c_str(), why_no_window().c_str());
        return nullptr;
    }
    history_.claim(found);
    box_ = found;
    log_line("  found message box %p", static_cast<void*>(found));
    return found;
}

bool Robot::expect_message(const Args& args) {
    HWND box = find_message(args[0]);
    if (!box) return false;
    const std::string text = control_text(message_text_control(box));
    if (text != args[1])
        return fail("message box \"%s\": expected the text \"%s\", found \"%s\"", args[0].c_str(),
                    one_line(args[1]).c_str(), one_line(text).c_str());
    return true;
}

bool Robot::expect_message_start(const Args& args) {
    HWND box = find_message(args[0]);
    if (!box) return false;
    const std::string text = control_text(message_text_control(box));
    log_line("  text \"%s\"", one_line(text).c_str());
    if (text.compare(0, args[1].size(), args[1]) != 0 || text.size() == args[1].size())
        return fail("message box \"%s\": expected a text that starts with \"%s\" and goes on, found \"%s\"",
                    args[0].c_str(), one_line(args[1]).c_str(), one_line(text).c_str());
    return true;
}

bool Robot::expect_icon(const Args& args) {
    if (!box_) return fail("no message box is open");
    IconMatch icon;
    std::string error;
    if (!message_box_icon(box_, &icon, &error)) return fail("%s", error.c_str());
    if (icon.name != "none")
        log_line("  icon %s (difference %.1f; next closest %s, %.1f)", icon.name.c_str(), icon.difference,
                 icon.next.c_str(), icon.next_difference);
    if (icon.name != args[0]) return fail("expected the %s icon, found the %s icon", args[0].c_str(), icon.name.c_str());
    return true;
}

bool Robot::expect_default(const Args& args) {
    if (!box_) return fail("no message box is open");
    const int wanted = button_id(args[0]);
    if (!wanted) return fail("unknown button %s", args[0].c_str());
    // The default button wears the default push button style (a message
    // box's DM_GETDEFID does not tell it on every system).
    std::vector<int> ids;
    for (const ButtonName& button : kButtons) ids.push_back(button.id);
    const std::vector<int> defaults = default_buttons(box_, ids);
    if (defaults != std::vector<int>{wanted})
        return fail("expected %s as the default button, found %s", args[0].c_str(), button_names(defaults).c_str());
    return true;
}

bool Robot::expect_hidden(const Args&) {
    if (dialogs_.empty()) return fail("no dialog has been found");
    if (!wait_until_gone(dialogs_.back(), timeout_ms_, poll_ms_))
        return fail("the dialog is still visible after %lu ms", static_cast<unsigned long>(timeout_ms_));
    return true;
}

bool Robot::expect_no_window(const Args& args) {
    if (!ensure_started()) return false;
    long duration = 0;
    if (!to_number(args[0], &duration) || duration < 0) return fail("not a time in milliseconds: %s", args[0].c_str());
    const DWORD begin = GetTickCount();
    do {
        for (HWND window : history_.observe()) {
            log_window(window, "  ");
            return fail("expected no new window, found \"%s\"", caption_of(window).c_str());
        }
        Sleep(poll_ms_);
    } while (GetTickCount() - begin < DWORD(duration));
    return true;
}

bool Robot::expect_never_seen(const Args& args) {
    long id = 0;
    if (!control_filter(args, &id)) return fail("usage: expect-never-seen CAPTION [control ID]");
    history_.observe();
    for (const WindowHistory::Record& record : history_.records()) {
        if (record.caption != args[0]) continue;
        bool has_control = !id;
        for (int control_id : record.controls) has_control = has_control || control_id == int(id);
        if (has_control) return fail("a window \"%s\" was shown", args[0].c_str());
    }
    return true;
}

// --- Controls ---

HWND Robot::current_window() {
    if (box_) return box_;
    return dialogs_.empty() ? nullptr : dialogs_.back();
}

HWND Robot::control(const std::string& id_text) {
    long id = 0;
    if (!to_number(id_text, &id)) {
        fail("not a control id: %s", id_text.c_str());
        return nullptr;
    }
    HWND window = current_window();
    if (!window) {
        fail("no dialog has been found");
        return nullptr;
    }
    HWND found = GetDlgItem(window, int(id));
    if (!found) fail("the window \"%s\" has no control %ld", caption_of(window).c_str(), id);
    return found;
}

bool Robot::expect_text(const Args& args) {
    HWND found = control(args[0]);
    if (!found) return false;
    const std::string text = control_text(found);
    if (text != args[1])
        return fail("control %s: expected \"%s\", found \"%s\"", args[0].c_str(), one_line(args[1]).c_str(),
                    one_line(text).c_str());
    return true;
}

bool Robot::expect_text_contains(const Args& args) {
    HWND found = control(args[0]);
    if (!found) return false;
    const std::string text = control_text(found);
    if (text.find(args[1]) == std::string::npos)
        return fail("control %s: expected a text containing \"%s\", found \"%s\"", args[0].c_str(),
                    one_line(args[1]).c_str(), one_line(text).c_str());
    return true;
}

bool Robot::expect_enabled(const Args& args) {
    HWND found = control(args[0]);
    if (!found) return false;
    if (!IsWindowEnabled(found)) return fail("control %s is disabled", args[0].c_str());
    return true;
}

bool Robot::expect_disabled(const Args& args) {
    HWND found = control(args[0]);
    if (!found) return false;
    if (IsWindowEnabled(found)) return fail("control %s is enabled", args[0].c_str());
    return true;
}

bool Robot::set_check(const Args& args, bool wanted) {
    HWND box = clickable(args[0]);
    if (!box) return false;
    if (is_checked(box) == wanted) return fail("control %s is %s already", args[0].c_str(), wanted ? "ticked" : "clear");
    if (!set_checked(box, wanted)) return fail("control %s did not change", args[0].c_str());
    return true;
}

bool Robot::check_box(const Args& args) { return set_check(args, true); }

bool Robot::uncheck_box(const Args& args) { return set_check(args, false); }

HWND Robot::clickable(const std::string& id) {
    HWND button = control(id);
    if (button && (!IsWindowEnabled(button) || !IsWindowVisible(button))) {
        fail("control %s cannot be clicked: it is %s", id.c_str(), IsWindowVisible(button) ? "disabled" : "hidden");
        return nullptr;
    }
    return button;
}

bool Robot::click(const Args& args) {
    HWND button = clickable(args[0]);
    if (!button) return false;
    post_click(button);
    return true;
}

bool Robot::set_text(const Args& args) {
    HWND field = control(args[0]);
    if (!field) return false;
    type_text(field, args[1]);
    const std::string text = control_text(field);
    if (text != args[1]) return fail("control %s holds \"%s\" after setting it", args[0].c_str(), text.c_str());
    return true;
}

// --- Keys, close box, message box buttons ---

bool Robot::press_escape_key(const Args&) {
    HWND window = current_window();
    if (!window) return fail("no dialog has been found");
    press_escape(window);
    return window != box_ || box_closed("Escape");
}

bool Robot::close_box(const Args&) {
    HWND window = current_window();
    if (!window) return fail("no dialog has been found");
    press_close_box(window);
    return window != box_ || box_closed("its close box");
}

bool Robot::answer(const Args& args) {
    if (!box_) return fail("no message box is open");
    const int id = button_id(args[0]);
    HWND button = id ? GetDlgItem(box_, id) : nullptr;
    if (!button) return fail("the message box has no %s button", args[0].c_str());
    post_click(button);
    return box_closed(args[0].c_str());
}

bool Robot::box_closed(const char* how) {
    HWND box = box_;
    box_ = nullptr;
    // Until it has gone, a click meant for the dialog below would be
    // dispatched by the box's own loop.
    if (!wait_until_gone(box, timeout_ms_, poll_ms_)) return fail("the message box stays open after %s", how);
    return true;
}

// --- Looking ---

bool Robot::capture(const Args& args) {
    HWND window = current_window();
    if (!window) return fail("no dialog has been found");
    return capture_to(window, args[0]);
}

bool Robot::capture_dialog(const Args& args) {
    if (dialogs_.empty()) return fail("no dialog has been found");
    return capture_to(dialogs_.back(), args[0]);
}

bool Robot::capture_to(HWND window, const std::string& path) {
    std::string error;
    if (!capture_window(window, path, &error)) return fail("capture: %s", error.c_str());
    log_line("  saved %s", path.c_str());
    return true;
}

bool Robot::expect_animated(const Args& args) {
    HWND area = control(args[0]);
    long milliseconds = 0;
    if (!area) return false;
    if (!to_number(args[1], &milliseconds) || milliseconds < 0) return fail("usage: expect-animated ID MS");
    long changed = 0;
    std::string error;
    if (!pixels_changed(area, DWORD(milliseconds), &changed, &error)) return fail("expect-animated: %s", error.c_str());
    log_line("  %ld pixels changed in %ld ms", changed, milliseconds);
    if (changed == 0) return fail("control %s looks the same %ld ms later", args[0].c_str(), milliseconds);
    return true;
}

bool Robot::expect_size(const Args& args) {
    HWND window = control(args[0]);
    long width = 0;
    long height = 0;
    if (!window) return false;
    if (!to_number(args[1], &width) || !to_number(args[2], &height)) return fail("usage: expect-size ID WIDTH HEIGHT");
    RECT area;
    GetWindowRect(window, &area);
    if (area.right - area.left != width || area.bottom - area.top != height)
        return fail("control %s is %ld x %ld, expected %ld x %ld", args[0].c_str(), long(area.right - area.left),
                    long(area.bottom - area.top), width, height);
    return true;
}

bool Robot::remember_threads(const Args&) {
    if (!ensure_started()) return false;
    remembered_threads_ = count_threads(process_.id());
    if (remembered_threads_ < 0) return fail("the program's threads cannot be listed");
    log_line("  %ld threads", remembered_threads_);
    return true;
}

bool Robot::expect_fewer_threads(const Args&) {
    if (!ensure_started()) return false;
    if (remembered_threads_ < 0) return fail("no thread count was remembered");
    const long now = count_threads(process_.id());
    log_line("  %ld threads, %ld before", now, remembered_threads_);
    if (now < 0 || now >= remembered_threads_)
        return fail("the program runs %ld threads, not fewer than the %ld before", now, remembered_threads_);
    return true;
}

bool Robot::move(const Args& args) {
    HWND window = current_window();
    long x = 0;
    long y = 0;
    if (!window) return fail("no dialog has been found");
    if (!to_number(args[0], &x) || !to_number(args[1], &y)) return fail("usage: move X Y");
    move_window(window, int(x), int(y));
    return true;
}

bool Robot::say(const Args& args) {
    for (const std::string& line : split_lines(args[0])) log_line("> %s", line.c_str());
    return true;
}

bool Robot::print(const Args&) {
    HWND window = current_window();
    if (!window) return fail("no dialog has been found");
    return print_window(window);
}

bool Robot::print_dialog(const Args&) {
    if (dialogs_.empty()) return fail("no dialog has been found");
    return print_window(dialogs_.back());
}

bool Robot::print_window(HWND window) {
    for (const std::string& line : describe_for_reader(window)) log_line("> %s", line.c_str());
    return true;
}

// --- The end of the program, and what it leaves behind ---

bool Robot::expect_exit(const Args& args) {
    if (!ensure_started()) return false;
    long code = 0;
    if (!to_number(args[0], &code)) return fail("not an exit code: %s", args[0].c_str());
    const DWORD begin = GetTickCount();
    while (!process_.wait(poll_ms_)) {
        for (HWND window : history_.observe()) {
            log_window(window, "  ");
            return fail("expected the program to end, but a window \"%s\" appeared", caption_of(window).c_str());
        }
        if (GetTickCount() - begin >= timeout_ms_)
            return fail("the program is still running after %lu ms", static_cast<unsigned long>(timeout_ms_));
    }
    if (process_.exit_code() != DWORD(code))
        return fail("expected exit code %ld, found %lu", code, static_cast<unsigned long>(process_.exit_code()));
    return true;
}

bool Robot::expect_process(const Args& args) {
    if (!find_process(args[0])) return fail("no process runs %s", args[0].c_str());
    return true;
}

bool Robot::end_process_step(const Args& args) {
    const DWORD id = find_process(args[0]);
    if (!id) return fail("no process runs %s", args[0].c_str());
    if (!end_process(id)) return fail("cannot end process %lu", static_cast<unsigned long>(id));
    return true;
}

bool Robot::expect_readonly(const Args& args) {
    if (args[1] != "yes" && args[1] != "no") return fail("usage: expect-readonly PATH yes|no");
    const DWORD attributes = GetFileAttributesA(args[0].c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return fail("%s does not exist", args[0].c_str());
    const bool read_only = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (read_only != (args[1] == "yes"))
        return fail("%s is %sread-only (attributes 0x%lX)", args[0].c_str(), read_only ? "" : "not ",
                    static_cast<unsigned long>(attributes));
    return true;
}

bool Robot::expect_registry(const Args& args) {
    const std::string key = user_key(args[0]);
    if (key.empty()) return fail("not a key under HKCU: %s", args[0].c_str());
    char value[1024] = "";
    DWORD size = sizeof value - 1;
    const LONG result =
        RegGetValueA(HKEY_CURRENT_USER, key.c_str(), args[1].c_str(), RRF_RT_REG_SZ, nullptr, value, &size);
    if (result != ERROR_SUCCESS)
        return fail("%s\\%s cannot be read (error %ld)", args[0].c_str(), args[1].c_str(), static_cast<long>(result));
    if (args[2] != value)
        return fail("%s\\%s: expected \"%s\", found \"%s\"", args[0].c_str(), args[1].c_str(), args[2].c_str(), value);
    return true;
}

bool Robot::delete_registry(const Args& args) {
    const std::string key = user_key(args[0]);
    if (key.empty()) return fail("not a key under HKCU: %s", args[0].c_str());
    const LONG result = RegDeleteTreeA(HKEY_CURRENT_USER, key.c_str());
    if (result != ERROR_SUCCESS && result != ERROR_FILE_NOT_FOUND)
        return fail("cannot delete %s (error %ld)", args[0].c_str(), static_cast<long>(result));
    return true;
}
