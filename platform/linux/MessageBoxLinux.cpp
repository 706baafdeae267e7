// Linux has no system message box, so a box is shown by the first dialog
// program found (zenity, kdialog, xmessage) when a display is present. Without
// a display, or with LUMAVOX_MESSAGES=stderr (the command-line tools set it),
// the text goes to standard error; a question is then answered Cancel, so
// that nothing is lost without the user having agreed to it.
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/MessageBox.h"

extern char** environ;

namespace platform::detail {
namespace {

// Exit status of the dialog program, or -1 when it could not be started.
int runDialog(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0)
        if (errno != EINTR) return -1;
    if (!WIFEXITED(status)) return -1;
    const int code = WEXITSTATUS(status);
    return code == 127 ? -1 : code;  // 127: the shell-style "not found"
}

bool haveDisplay() {
    const char* mode = std::getenv("LUMAVOX_MESSAGES");
    if (mode && std::strcmp(mode, "stderr") == 0) return false;
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x && *x) || (wayland && *wayland);
}

}  // namespace

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
            const int code = runDialog(dialog);
            if (code >= 0) return code == 0 ? MessageAnswer::Ok : MessageAnswer::Cancel;
        }
    }
    std::fprintf(stderr, "Lumavox: %s: %s%s\n", caption, text,
                 question ? " (no one to answer: cancelled)" : "");
    return question ? MessageAnswer::Cancel : MessageAnswer::Ok;
}

}  // namespace platform::detail
