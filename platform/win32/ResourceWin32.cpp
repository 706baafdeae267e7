#include <windows.h>

#include "platform/Resource.h"
#include "platform/win32/OwnModule.h"

namespace platform {
namespace {

ResourceBytes lookUp(LPCSTR type, int id) {
    HMODULE module = ownModuleHandle();
    HRSRC info = module ? FindResourceA(module, MAKEINTRESOURCEA(id), type) : nullptr;
    HGLOBAL handle = info ? LoadResource(module, info) : nullptr;
    const void* data = handle ? LockResource(handle) : nullptr;
    if (!data) return {};
    return {static_cast<const unsigned char*>(data), SizeofResource(module, info)};
}

}  // namespace

ResourceBytes findResource(const char* type, int id) {
    return type ? lookUp(type, id) : ResourceBytes{};
}

ResourceBytes findBitmapResource(int id) {
    return lookUp(MAKEINTRESOURCEA(2), id);  // RT_BITMAP
}

}  // namespace platform
