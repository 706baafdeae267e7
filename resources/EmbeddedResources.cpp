// The table behind platform::findResource in the Linux builds: the same
// resources, by the same type names and ids, as the Windows resource script.
#include "platform/Resource.h"

extern "C" {
extern const unsigned char lumavox_factory_bank_begin[];
extern const unsigned char lumavox_factory_bank_end[];

__attribute__((
    visibility("hidden"))) extern const platform::EmbeddedResource lumavoxEmbeddedResources[] = {
    {"FXB", 218, lumavox_factory_bank_begin, lumavox_factory_bank_end},
};
__attribute__((visibility("hidden"))) extern const int lumavoxEmbeddedResourceCount =
    sizeof lumavoxEmbeddedResources / sizeof lumavoxEmbeddedResources[0];
}
