// Finding the target's windows and reading them. Everything here works
// across processes: texts are read with WM_GETTEXT (the system copies them
// over), never from our own memory of a window.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A text's lines; a line ends with a line feed, a carriage return or both.
std::vector<std::string> split_lines(const std::string& text);

// The text of a control (WM_GETTEXT, bounded wait) or a top-level caption.
std::string control_text(HWND window);
std::string caption_of(HWND window);
std::string class_of(HWND window);
int control_id(HWND window);

// Visible top-level windows of the process, topmost first.
std::vector<HWND> visible_windows(DWORD process_id);

bool is_dialog(HWND window);  // window class #32770
// A dialog made only of buttons and static controls, one of them a text:
// what MessageBox shows. The setup's own dialogs all hold other controls.
bool is_message_box(HWND window);
// The static control that holds a message box's text.
HWND message_text_control(HWND box);
// The static control that shows a message box's icon, or null.
HWND message_icon_control(HWND box);

// What a reader sees of a window: its caption, then its controls' texts
// and states, a line each ("button \"I agree\" (disabled)").
std::vector<std::string> describe_for_reader(HWND window);

// Logs every visible window of the process with its controls' ids,
// classes, texts and states.
void log_windows(DWORD process_id);
void log_window(HWND window, const char* indent);

// Every window the robot has seen visible, and the ones an expectation has
// already matched (a message box and a dialog may share a caption, and a
// dialog stays once it has been matched).
class WindowHistory {
public:
    struct Record {
        HWND window;
        std::string caption;
        std::vector<int> controls;
    };

    void reset(DWORD process_id);
    // Records the windows visible now that were not seen before, and
    // returns them; `visible`, when given, receives every window visible
    // now (from the same look, so that none escapes the record).
    std::vector<HWND> observe(std::vector<HWND>* visible = nullptr);
    bool seen(HWND window) const;
    void claim(HWND window) { claimed_.push_back(window); }
    bool claimed(HWND window) const;
    const std::vector<Record>& records() const { return records_; }

private:
    DWORD process_id_ = 0;
    std::vector<Record> records_;
    std::vector<HWND> claimed_;
};
