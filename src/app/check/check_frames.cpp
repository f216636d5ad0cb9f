// The PNG writer the self-check writes its frames with.
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb_image_write.h"
