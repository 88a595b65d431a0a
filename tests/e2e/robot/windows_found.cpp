#include "tests/e2e/robot/windows_found.h"

#include <commctrl.h>

#include <algorithm>

#include "tests/e2e/robot/log.h"

namespace {

// Long enough for a busy setup to reach its message loop; short enough that
// a hung one does not stall the robot. (No SMTO_ABORTIFHUNG: a setup that
// has just waited 20 seconds for its program counts as hung until it has
// taken its next message.)
constexpr UINT kReadTimeoutMs = 5000;
constexpr UINT kSendFlags = SMTO_BLOCK;
constexpr size_t kShownTextLength = 120;
// Lines of a long text (the licence) shown to a reader.
constexpr size_t kShownLines = 4;

struct ProcessWindows {
    DWORD process_id;
    std::vector<HWND> windows;
};

BOOL CALLBACK collect_top_level(HWND window, LPARAM context) {
    auto* wanted = reinterpret_cast<ProcessWindows*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == wanted->process_id && IsWindowVisible(window)) wanted->windows.push_back(window);
    return TRUE;
}

BOOL CALLBACK collect_child(HWND window, LPARAM context) {
    reinterpret_cast<std::vector<HWND>*>(context)->push_back(window);
    return TRUE;
}

std::vector<HWND> children_of(HWND window) {
    std::vector<HWND> children;
    EnumChildWindows(window, collect_child, reinterpret_cast<LPARAM>(&children));
    return children;
}

bool is_icon_static(HWND control) {
    return class_of(control) == "Static" &&
           (GetWindowLongPtrA(control, GWL_STYLE) & SS_TYPEMASK) == SS_ICON;
}

std::string control_state(HWND control) {
    std::string state;
    if (!IsWindowVisible(control)) state += " hidden";
    if (!IsWindowEnabled(control)) state += " disabled";
    if (class_of(control) == "Button") {
        DWORD_PTR checked = 0;
        SendMessageTimeoutA(control, BM_GETCHECK, 0, 0, kSendFlags, kReadTimeoutMs, &checked);
        if (checked == BST_CHECKED) state += " checked";
    }
    return state;
}

// "button", "check box", "text", ...: what a control is to a reader.
std::string control_kind(HWND control) {
    const std::string name = class_of(control);
    if (name == "Button") {
        const LONG_PTR type = GetWindowLongPtrA(control, GWL_STYLE) & BS_TYPEMASK;
        return type == BS_CHECKBOX || type == BS_AUTOCHECKBOX ? "check box" : "button";
    }
    if (name == "Edit") return "field";
    if (name == "Static") return "text";
    if (name == PROGRESS_CLASSA) return "progress bar";
    if (name.compare(0, 8, "RichEdit") == 0) return "text box";
    return name;
}

}  // namespace

std::vector<std::string> split_lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(start, end - start));
        if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ++end;
        start = end + 1;
    }
    return lines;
}

std::string control_text(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXTLENGTH, 0, 0, kSendFlags, kReadTimeoutMs, &length))
        return "";
    std::string text(length + 1, '\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]),
                             kSendFlags, kReadTimeoutMs, &copied))
        return "";
    text.resize(std::min<size_t>(copied, length));
    return text;
}

std::string caption_of(HWND window) {
    char text[512] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string class_of(HWND window) {
    char name[256] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

int control_id(HWND window) { return int(GetWindowLongPtrA(window, GWLP_ID)); }

std::vector<HWND> visible_windows(DWORD process_id) {
    ProcessWindows found{process_id, {}};
    EnumWindows(collect_top_level, reinterpret_cast<LPARAM>(&found));
    return found.windows;
}

bool is_dialog(HWND window) { return class_of(window) == "#32770"; }

bool is_message_box(HWND window) {
    if (!is_dialog(window)) return false;
    bool has_button = false;
    bool has_text = false;
    for (HWND child : children_of(window)) {
        const std::string name = class_of(child);
        if (name == "Button") has_button = true;
        else if (name == "Static") has_text = has_text || !is_icon_static(child);
        else return false;
    }
    return has_button && has_text;
}

HWND message_text_control(HWND box) {
    // MessageBox gives its text the id 0xFFFF.
    if (HWND text = GetDlgItem(box, 0xFFFF)) return text;
    for (HWND child : children_of(box))
        if (class_of(child) == "Static" && !is_icon_static(child)) return child;
    return nullptr;
}

HWND message_icon_control(HWND box) {
    for (HWND child : children_of(box))
        if (is_icon_static(child)) return child;
    return nullptr;
}

void log_window(HWND window, const char* indent) {
    log_line("%swindow %p class \"%s\" caption \"%s\"%s", indent, static_cast<void*>(window),
             class_of(window).c_str(), caption_of(window).c_str(), IsWindowEnabled(window) ? "" : " disabled");
    for (HWND child : children_of(window)) {
        if (GetParent(child) != window) continue;  // the browse window's inner controls
        std::string text = one_line(control_text(child));
        if (text.size() > kShownTextLength) text = text.substr(0, kShownTextLength) + "...";
        log_line("%s  [%d] %s \"%s\"%s", indent, control_id(child), class_of(child).c_str(), text.c_str(),
                 control_state(child).c_str());
    }
}

std::vector<std::string> describe_for_reader(HWND window) {
    std::vector<std::string> lines;
    lines.push_back((is_message_box(window) ? "Message box \"" : "Dialog \"") + caption_of(window) + "\"");
    for (HWND child : children_of(window)) {
        if (GetParent(child) != window || !IsWindowVisible(child)) continue;
        const std::string kind = control_kind(child);
        if (kind == "progress bar") {
            DWORD_PTR position = 0;
            SendMessageTimeoutA(child, PBM_GETPOS, 0, 0, kSendFlags, kReadTimeoutMs, &position);
            lines.push_back("  progress bar at " + std::to_string(position) + "%");
            continue;
        }
        const std::vector<std::string> text = split_lines(control_text(child));
        if (text.size() == 1 && text[0].empty()) continue;  // the logo area, an icon
        std::string state = control_state(child);
        if (!state.empty()) state = " (" + state.substr(1) + ")";
        if (text.size() == 1) {
            lines.push_back("  " + kind + " \"" + text[0] + "\"" + state);
            continue;
        }
        lines.push_back("  " + kind + ":");
        for (size_t i = 0; i < text.size() && i < kShownLines; ++i) lines.push_back("    " + text[i]);
        if (text.size() > kShownLines) lines.push_back("    ...");
    }
    return lines;
}

void log_windows(DWORD process_id) {
    const std::vector<HWND> windows = visible_windows(process_id);
    log_line("visible windows of process %lu: %u", static_cast<unsigned long>(process_id),
             static_cast<unsigned>(windows.size()));
    for (HWND window : windows) log_window(window, "  ");
}

void WindowHistory::reset(DWORD process_id) {
    process_id_ = process_id;
    records_.clear();
    claimed_.clear();
}

std::vector<HWND> WindowHistory::observe(std::vector<HWND>* visible) {
    const std::vector<HWND> windows = visible_windows(process_id_);
    if (visible) *visible = windows;
    std::vector<HWND> fresh;
    for (HWND window : windows) {
        if (seen(window)) continue;
        Record record{window, caption_of(window), {}};
        for (HWND child : children_of(window)) record.controls.push_back(control_id(child));
        records_.push_back(record);
        fresh.push_back(window);
    }
    return fresh;
}

bool WindowHistory::seen(HWND window) const {
    return std::any_of(records_.begin(), records_.end(),
                       [window](const Record& record) { return record.window == window; });
}

bool WindowHistory::claimed(HWND window) const {
    return std::find(claimed_.begin(), claimed_.end(), window) != claimed_.end();
}
