// The three dialog templates, read field by field from their DLGTEMPLATEEX
// bytes and compared with the layout tables below.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/win32/resources/module_resources.h"
#include "ui/resources/resource_ids.h"

namespace {

// --- A reader of extended dialog templates ---

// A name or an ordinal (sz_Or_Ord); `present` is false for the 0x0000 form.
struct NameOrOrdinal {
    bool present = false;
    uint16_t ordinal = 0;  // nonzero for the 0xFFFF form
    std::string name;
};

struct ControlTemplate {
    uint32_t help_id, ex_style, style;
    int16_t x, y, cx, cy;
    uint32_t id;
    NameOrOrdinal window_class, title;
    uint16_t extra_count;
};

struct DialogTemplate {
    uint16_t version, signature;
    uint32_t help_id, ex_style, style;
    uint16_t item_count;
    int16_t x, y, cx, cy;
    NameOrOrdinal menu, window_class;
    std::string title;
    uint16_t point_size, weight;
    uint8_t italic, charset;
    std::string typeface;
    std::vector<ControlTemplate> controls;
};

class TemplateReader {
public:
    TemplateReader(const uint8_t* data, uint32_t size) : data_(data), size_(size) {}

    bool failed() const { return failed_; }

    template <typename T>
    T read() {
        T value{};
        if (pos_ + sizeof(T) > size_) {
            failed_ = true;
            return value;
        }
        std::memcpy(&value, data_ + pos_, sizeof(T));
        pos_ += sizeof(T);
        return value;
    }

    std::string text() {
        std::u16string wide;
        for (char16_t c = read<char16_t>(); c != 0 && !failed_; c = read<char16_t>()) wide.push_back(c);
        return narrow(wide);
    }

    NameOrOrdinal name_or_ordinal() {
        NameOrOrdinal out;
        const uint16_t first = read<uint16_t>();
        if (first == 0x0000) return out;
        out.present = true;
        if (first == 0xFFFF) {
            out.ordinal = read<uint16_t>();
            return out;
        }
        pos_ -= 2;
        out.name = text();
        return out;
    }

    void align_dword() { pos_ = (pos_ + 3) & ~uint32_t(3); }
    void skip(uint32_t count) { pos_ += count; }

private:
    const uint8_t* data_;
    uint32_t size_;
    uint32_t pos_ = 0;
    bool failed_ = false;
};

bool parse_dialog(const ResourceBytes& bytes, DialogTemplate* dialog) {
    TemplateReader in(bytes.data, bytes.size);
    DialogTemplate& d = *dialog;
    d.version = in.read<uint16_t>();
    d.signature = in.read<uint16_t>();
    d.help_id = in.read<uint32_t>();
    d.ex_style = in.read<uint32_t>();
    d.style = in.read<uint32_t>();
    d.item_count = in.read<uint16_t>();
    d.x = in.read<int16_t>();
    d.y = in.read<int16_t>();
    d.cx = in.read<int16_t>();
    d.cy = in.read<int16_t>();
    d.menu = in.name_or_ordinal();
    d.window_class = in.name_or_ordinal();
    d.title = in.text();
    if (d.style & (DS_SETFONT | DS_SHELLFONT)) {
        d.point_size = in.read<uint16_t>();
        d.weight = in.read<uint16_t>();
        d.italic = in.read<uint8_t>();
        d.charset = in.read<uint8_t>();
        d.typeface = in.text();
    }
    for (int i = 0; i < d.item_count && !in.failed(); ++i) {
        in.align_dword();
        ControlTemplate c;
        c.help_id = in.read<uint32_t>();
        c.ex_style = in.read<uint32_t>();
        c.style = in.read<uint32_t>();
        c.x = in.read<int16_t>();
        c.y = in.read<int16_t>();
        c.cx = in.read<int16_t>();
        c.cy = in.read<int16_t>();
        c.id = in.read<uint32_t>();
        c.window_class = in.name_or_ordinal();
        c.title = in.name_or_ordinal();
        c.extra_count = in.read<uint16_t>();
        in.skip(c.extra_count);
        d.controls.push_back(c);
    }
    return !in.failed();
}

// The predefined classes a template may name by ordinal.
std::string class_name(const NameOrOrdinal& window_class) {
    switch (window_class.ordinal) {
        case 0: return window_class.name;
        case 0x80: return "Button";
        case 0x81: return "Edit";
        case 0x82: return "Static";
        case 0x83: return "ListBox";
        case 0x84: return "ScrollBar";
        case 0x85: return "ComboBox";
    }
    return "#" + std::to_string(window_class.ordinal);
}

// --- The expected layouts ---

constexpr DWORD kDialogStyle =
    WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS;
constexpr DWORD kButton = WS_CHILD | WS_VISIBLE | WS_TABSTOP;
constexpr DWORD kLabel = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_LEFT;

struct ExpectedControl {
    int32_t id;
    const char* window_class;
    const char* text;
    DWORD style;
    int16_t x, y, cx, cy;
};

struct ExpectedDialog {
    int id;
    const char* caption;
    DWORD style;
    int16_t cx, cy;
    std::vector<ExpectedControl> controls;
};

const ExpectedDialog kDialogs[] = {
    {IDD_LICENSE, "License agreement", kDialogStyle, 482, 242,
     {
         {IDOK, "Button", "I agree", kButton | BS_DEFPUSHBUTTON, 156, 221, 74, 14},
         {IDCANCEL, "Button", "I do not agree", kButton | BS_PUSHBUTTON, 252, 221, 74, 14},
         {IDC_LICENSE_ACCEPT, "Button",
          "I have read, understood and agree to the  terms of the End User License Agreement.",
          kButton | BS_AUTOCHECKBOX, 69, 190, 343, 27},
         {IDC_LICENSE_TEXT, "RichEdit20A", "",
          WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_HSCROLL | WS_TABSTOP | ES_MULTILINE |
              ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_NOHIDESEL | ES_READONLY,
          7, 7, 468, 181},
     }},
    {IDD_DESTINATION, "Songwright Setup", kDialogStyle, 269, 105,
     {
         {IDOK, "Button", "Install", kButton | BS_DEFPUSHBUTTON, 69, 84, 50, 14},
         {IDCANCEL, "Button", "Cancel", kButton | BS_PUSHBUTTON, 150, 84, 50, 14},
         {IDC_FOLDER_EDIT, "Edit", "", WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_LEFT | ES_AUTOHSCROLL,
          7, 60, 226, 13},
         {-1, "Static", "The program will be installed in this folder:", kLabel, 7, 50, 241, 10},
         {IDC_BROWSE, "Button", "...", kButton | BS_PUSHBUTTON, 236, 60, 26, 13},
         {IDC_INTRO_TEXT, "Static", "This program will install the Morrow Songwright on your computer.",
          kLabel, 102, 7, 160, 24},
         {IDC_LOGO, "Static", "", WS_CHILD | WS_VISIBLE | SS_BLACKFRAME, 7, 7, 65, 42},
     }},
    {IDD_PROGRESS, "Songwright Setup", kDialogStyle | DS_CENTER, 207, 90,
     {
         {IDCANCEL, "Button", "Cancel", kButton | BS_PUSHBUTTON, 150, 69, 50, 14},
         {-1, "Static", "Copying file:", kLabel, 7, 7, 193, 11},
         {IDC_CURRENT_FILE, "Static", "", kLabel, 7, 16, 193, 33},
         {IDC_PROGRESS_BAR, "msctls_progress32", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 7, 51, 193, 12},
     }},
};

TEST(DialogTemplate, HeaderAndFontAreExact) {
    for (const ExpectedDialog& expected : kDialogs) {
        SCOPED_TRACE(expected.id);
        DialogTemplate d;
        ASSERT_TRUE(parse_dialog(resource_bytes(RT_DIALOG, MAKEINTRESOURCEA(expected.id), kNeutral), &d));
        EXPECT_EQ(d.version, 1);
        EXPECT_EQ(d.signature, 0xFFFF);
        EXPECT_EQ(d.help_id, 0u);
        EXPECT_EQ(d.ex_style, 0u);
        EXPECT_EQ(d.style, expected.style);
        EXPECT_EQ(d.style & WS_VISIBLE, 0u);
        EXPECT_EQ(d.x, 0);
        EXPECT_EQ(d.y, 0);
        EXPECT_EQ(d.cx, expected.cx);
        EXPECT_EQ(d.cy, expected.cy);
        EXPECT_FALSE(d.menu.present);
        EXPECT_FALSE(d.window_class.present);
        EXPECT_EQ(d.title, expected.caption);
        EXPECT_EQ(d.point_size, 8);
        EXPECT_EQ(d.weight, 400);
        EXPECT_EQ(d.italic, 0);
        EXPECT_EQ(d.charset, DEFAULT_CHARSET);
        EXPECT_EQ(d.typeface, "MS Shell Dlg");
    }
}

TEST(DialogTemplate, EveryControlIsExactInTabOrder) {
    for (const ExpectedDialog& expected : kDialogs) {
        SCOPED_TRACE(expected.id);
        DialogTemplate d;
        ASSERT_TRUE(parse_dialog(resource_bytes(RT_DIALOG, MAKEINTRESOURCEA(expected.id), kNeutral), &d));
        ASSERT_EQ(d.controls.size(), expected.controls.size());
        for (size_t i = 0; i < d.controls.size(); ++i) {
            const ControlTemplate& c = d.controls[i];
            const ExpectedControl& e = expected.controls[i];
            SCOPED_TRACE(e.id);
            EXPECT_EQ(c.help_id, 0u);
            EXPECT_EQ(c.ex_style, 0u);
            EXPECT_EQ(c.style, e.style);
            EXPECT_EQ(c.x, e.x);
            EXPECT_EQ(c.y, e.y);
            EXPECT_EQ(c.cx, e.cx);
            EXPECT_EQ(c.cy, e.cy);
            EXPECT_EQ(c.id, uint32_t(e.id));
            // Class names are matched without regard to case by the system.
            EXPECT_EQ(lstrcmpiA(class_name(c.window_class).c_str(), e.window_class), 0)
                << class_name(c.window_class);
            EXPECT_EQ(c.title.ordinal, 0);
            EXPECT_EQ(c.title.name, e.text);
            EXPECT_EQ(c.extra_count, 0);
        }
    }
}

}  // namespace
