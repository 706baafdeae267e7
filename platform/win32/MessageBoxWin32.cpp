#include <windows.h>

#include "platform/MessageBox.h"

namespace platform::detail {

MessageAnswer showPlatformMessageBox(const char* text, const char* caption,
                                     MessageButtons buttons) {
    const UINT style = buttons == MessageButtons::OkCancel ? MB_OKCANCEL : MB_OK;
    return MessageBoxA(nullptr, text, caption, style) == IDOK ? MessageAnswer::Ok
                                                              : MessageAnswer::Cancel;
}

}  // namespace platform::detail
