#pragma once

#include <string>
#include <vector>

#include "platform/MessageBox.h"

namespace testsupport {

// Takes the place of the platform's message boxes for its lifetime: records
// every box and answers with the configured button.
class MessageRecorder : public platform::MessageBoxHook {
  public:
    struct Box {
        std::string text;
        std::string caption;
        platform::MessageButtons buttons;
    };

    explicit MessageRecorder(platform::MessageAnswer answer = platform::MessageAnswer::Ok)
        : answer_(answer) {
        platform::setMessageBoxHook(this);
    }
    ~MessageRecorder() override { platform::setMessageBoxHook(nullptr); }

    platform::MessageAnswer show(const char* text, const char* caption,
                                 platform::MessageButtons buttons) override {
        boxes.push_back({text, caption, buttons});
        return answer_;
    }

    std::vector<Box> boxes;

  private:
    platform::MessageAnswer answer_;
};

}  // namespace testsupport
