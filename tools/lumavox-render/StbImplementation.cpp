// The stb decoders and the PNG writer for builds without Debian's libstb (the
// Windows cross builds). Third-party code: compiled without our warnings.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb_image.h>
#include <stb_image_write.h>
