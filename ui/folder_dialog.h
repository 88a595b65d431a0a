// The decisions of the destination-folder dialog (and of the progress
// dialog, which shares its procedure): Install, Cancel, Browse and the
// dialog's start. The window side is reached through FolderDialogHost.
#pragma once

#include <cstddef>
#include <cstdint>

enum class DefaultAnswer { yes, no };

// What the decisions need of the dialog window and the system.
class FolderDialogHost {
public:
    virtual ~FolderDialogHost() = default;
    // A string-table text; a missing string gives an empty text.
    virtual void load_string(uint32_t id, char* buffer, size_t capacity) = 0;
    virtual void read_folder_field(char* buffer, size_t capacity) = 0;
    virtual void set_folder_field(const char* text) = 0;
    virtual bool folder_exists(const char* path) = 0;
    // Creates the folder and every missing folder above it.
    virtual bool create_folder_path(char* path) = 0;
    // A question owned by the dialog; true when the answer is Yes.
    virtual bool ask_yes_no(const char* text, const char* caption, DefaultAnswer default_answer) = 0;
    virtual void show_error(const char* text, const char* caption) = 0;
    virtual void end_dialog(intptr_t result) = 0;
    // The shell's folder chooser; true, with `path` (260 bytes) filled, when
    // a folder was chosen; `path` is untouched otherwise.
    virtual bool browse_for_folder(char* path) = 0;
    virtual void set_small_icon() = 0;
    // Attaches, loads and plays the logo in the logo area.
    virtual void start_logo() = 0;
};

// WM_INITDIALOG. With target_folder empty this is the destination dialog: it
// gets the small icon, the default folder in its field and the logo; true.
// Otherwise it is the progress dialog and nothing happens; false.
bool folder_dialog_init(FolderDialogHost& host);

// Install: takes the field's text as target_folder and ends with 1 when that
// folder exists or, on the user's word, could be created.
void folder_dialog_install(FolderDialogHost& host);

// Cancel: ends with 2 at once while target_folder is empty, else asks first.
void folder_dialog_cancel(FolderDialogHost& host);

// Browse: starts from the default folder when target_folder is empty and
// puts a chosen folder into the field.
void folder_dialog_browse(FolderDialogHost& host);

// WM_COMMAND with command `id`: what setup_dialog_proc returns.
intptr_t setup_dialog_command(FolderDialogHost& host, int id);
