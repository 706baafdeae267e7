// Linux has no system message box, so a box is shown by the first dialog
// program found (zenity, kdialog, xmessage) when a display is present. Without
// a display, or with LUMAVOX_MESSAGES=stderr (the command-line tools set it),
// the text goes to standard error; a question is then answered Cancel, so
// that nothing is lost without the user having agreed to it.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/MessageBox.h"
#include "platform/linux/ChildProcess.h"

namespace platform::detail {

MessageAnswer showPlatformMessageBox(const char* text, const char* caption,
                                     MessageButtons buttons) {
    const bool question = buttons == MessageButtons::OkCancel;
    if (haveDisplay()) {
        const std::string t = text, c = caption;
        const std::vector<std::vector<std::string>> dialogs = {
            {"zenity", question ? "--question" : "--info", "--no-markup", "--title", c, "--text",
             t},
            {"kdialog", "--title", c, question ? "--warningcontinuecancel" : "--msgbox", t},
            {"xmessage", "-center", "-buttons", question ? "OK:0,Cancel:1" : "OK:0", c + ": " + t},
        };
        for (const auto& dialog : dialogs) {
            const int code = runProgram(dialog);
            if (code >= 0) return code == 0 ? MessageAnswer::Ok : MessageAnswer::Cancel;
        }
    }
    std::fprintf(stderr, "Lumavox: %s: %s%s\n", caption, text,
                 question ? " (no one to answer: cancelled)" : "");
    return question ? MessageAnswer::Cancel : MessageAnswer::Ok;
}

}  // namespace platform::detail
