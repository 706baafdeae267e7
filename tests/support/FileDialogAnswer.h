#pragma once

#include <filesystem>
#include <optional>
#include <vector>

#include "platform/FileDialog.h"

namespace testsupport {

// Takes the place of the system's file choosers for its lifetime: records
// every request and answers with the path set (none: cancelled).
class FileDialogAnswer : public platform::FileDialogHook {
  public:
    FileDialogAnswer() { platform::setFileDialogHook(this); }
    ~FileDialogAnswer() override { platform::setFileDialogHook(nullptr); }

    std::optional<std::filesystem::path> ask(const platform::FileDialogRequest& request) override {
        requests.push_back(request);
        return answer;
    }

    std::optional<std::filesystem::path> answer;
    std::vector<platform::FileDialogRequest> requests;
};

}  // namespace testsupport
