// The robot: runs a scenario's steps against one program it starts, the
// way a user would, and checks what it finds after each of them.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/robot/scenario.h"
#include "tests/e2e/robot/target_process.h"
#include "tests/e2e/robot/windows_found.h"

class Robot {
public:
    // False, with `error` set, when a step names an unknown verb or has the
    // wrong number of arguments; nothing has run then.
    static bool check(const std::vector<Step>& steps, std::string* error);
    // Runs the steps in order and stops at the first that fails; then the
    // program's windows are logged and the program is ended. True when
    // every step passed.
    bool run(const std::vector<Step>& steps);
    // The verbs and their arguments, for the usage text.
    static std::string verbs();

private:
    using Args = std::vector<std::string>;
    using Handler = bool (Robot::*)(const Args&);
    struct Verb {
        const char* name;
        size_t min_args;
        size_t max_args;
        Handler handler;
        const char* usage;
    };
    static const Verb kVerbs[];
    static const Verb* find_verb(const std::string& name);

    // Program and environment.
    bool start(const Args& args);
    bool set_timeout(const Args& args);
    bool set_poll(const Args& args);
    // Windows.
    bool expect_dialog(const Args& args);
    bool back(const Args& args);
    bool expect_message(const Args& args);
    bool expect_message_start(const Args& args);
    bool expect_icon(const Args& args);
    bool expect_default(const Args& args);
    bool expect_hidden(const Args& args);
    bool expect_no_window(const Args& args);
    bool expect_never_seen(const Args& args);
    // Controls.
    bool expect_text(const Args& args);
    bool expect_text_contains(const Args& args);
    bool expect_enabled(const Args& args);
    bool expect_disabled(const Args& args);
    bool check_box(const Args& args);
    bool uncheck_box(const Args& args);
    bool click(const Args& args);
    bool set_text(const Args& args);
    // Keys, close box, message box buttons.
    bool press_escape_key(const Args& args);
    bool close_box(const Args& args);
    bool answer(const Args& args);
    // Looking.
    bool capture(const Args& args);
    bool capture_dialog(const Args& args);
    bool move(const Args& args);
    bool say(const Args& args);
    bool expect_animated(const Args& args);
    bool expect_size(const Args& args);
    bool remember_threads(const Args& args);
    bool expect_fewer_threads(const Args& args);
    bool print(const Args& args);
    bool print_dialog(const Args& args);
    // The end of the program, and what it leaves behind.
    bool expect_exit(const Args& args);
    bool expect_process(const Args& args);
    bool end_process_step(const Args& args);
    bool expect_readonly(const Args& args);
    bool expect_registry(const Args& args);
    bool delete_registry(const Args& args);

    bool fail(const char* format, ...) __attribute__((format(gnu_printf, 2, 3)));
    // Polls the program's windows until one that is not yet claimed
    // satisfies `match`; null when the time is up or the program ended.
    template <typename Match>
    HWND wait_for_window(Match match);
    bool ensure_started();
    // Waits for a new message box with this caption and makes it current.
    HWND find_message(const std::string& caption);
    // The window that control steps address: the open message box, else
    // the current dialog.
    HWND current_window();
    // Control `id` of the current window, or null after a failure.
    HWND control(const std::string& id);
    // Control `id` when it is visible and enabled, or null after a failure.
    HWND clickable(const std::string& id);
    bool set_check(const Args& args, bool wanted);
    // The message box closes after `how`; it is no longer current.
    bool box_closed(const char* how);
    bool capture_to(HWND window, const std::string& path);
    bool print_window(HWND window);
    std::string why_no_window() const;

    TargetProcess process_;
    WindowHistory history_;
    std::vector<HWND> dialogs_;  // the current dialog is the last
    HWND box_ = nullptr;
    DWORD timeout_ms_ = 15000;
    DWORD poll_ms_ = 25;
    long remembered_threads_ = -1;
    const Step* step_ = nullptr;
};
