#include "ui/folder_dialog.h"

#include "package/archive.h"
#include "setup/setup_state.h"
#include "ui/dialog_ids.h"
#include "ui/message_text.h"
#include "ui/resources/resource_ids.h"

namespace {

// A message box text: string `format_id` with target_folder in place of its
// "%s", and the caption.
struct FolderMessage {
    char text[kPathCapacity];
    char caption[kCaptionCapacity];
};

FolderMessage folder_message(FolderDialogHost& host, uint32_t format_id) {
    FolderMessage message;
    char format[kFormatCapacity];
    host.load_string(format_id, format, sizeof format);
    host.load_string(IDS_SETUP_CAPTION, message.caption, sizeof message.caption);
    format_with_folder(format, setup_state.target_folder, message.text, sizeof message.text);
    return message;
}

void end_cancelled(FolderDialogHost& host) {
    setup_state.cancelled = true;
    host.end_dialog(kDialogCancelled);
}

}  // namespace

bool folder_dialog_init(FolderDialogHost& host) {
    if (setup_state.target_folder[0] != '\0') return false;
    host.set_small_icon();
    char folder[kPathCapacity];
    host.load_string(IDS_DEFAULT_FOLDER, folder, sizeof folder);
    host.set_folder_field(folder);
    host.start_logo();
    return true;
}

void folder_dialog_install(FolderDialogHost& host) {
    host.read_folder_field(setup_state.target_folder, sizeof setup_state.target_folder);
    if (host.folder_exists(setup_state.target_folder)) {
        host.end_dialog(kDialogInstall);
        return;
    }
    const FolderMessage question = folder_message(host, IDS_ASK_CREATE_FOLDER);
    if (!host.ask_yes_no(question.text, question.caption, DefaultAnswer::yes)) return;
    if (host.create_folder_path(setup_state.target_folder)) {
        host.end_dialog(kDialogInstall);
        return;
    }
    const FolderMessage failure = folder_message(host, IDS_CANNOT_CREATE_FOLDER);
    host.show_error(failure.text, failure.caption);
}

void folder_dialog_cancel(FolderDialogHost& host) {
    if (setup_state.target_folder[0] == '\0') {
        end_cancelled(host);
        return;
    }
    const FolderMessage question = folder_message(host, IDS_ASK_ABORT);
    // The question runs its own message loop; a cancel confirmed meanwhile
    // still ends this dialog.
    if (host.ask_yes_no(question.text, question.caption, DefaultAnswer::no) || setup_state.cancelled)
        end_cancelled(host);
}

void folder_dialog_browse(FolderDialogHost& host) {
    if (setup_state.target_folder[0] == '\0')
        host.load_string(IDS_DEFAULT_FOLDER, setup_state.target_folder, sizeof setup_state.target_folder);
    if (host.browse_for_folder(setup_state.target_folder)) host.set_folder_field(setup_state.target_folder);
}

intptr_t setup_dialog_command(FolderDialogHost& host, int id) {
    switch (id) {
    case kButtonOk:
        folder_dialog_install(host);
        return kHandled;
    case kButtonCancel:
        folder_dialog_cancel(host);
        return kHandled;
    case IDC_BROWSE:
        folder_dialog_browse(host);
        return kNotHandled;
    default:
        return kNotHandled;
    }
}
