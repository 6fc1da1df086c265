// stbimpl.cpp - the one instance of the distribution's stb_image decoder in a
// plug-in. The build names the formats it keeps (STBI_ONLY_JPEG, ...); without
// any, every format the plug-ins read is kept. No file access: the plug-ins hand
// it memory. Its blocks are zeroed when allocated, so no picture ever carries
// what the heap held before. Outside code: built without our warnings.
#include <stdlib.h>
#if !defined(STBI_ONLY_JPEG) && !defined(STBI_ONLY_PNG) && !defined(STBI_ONLY_GIF) && \
    !defined(STBI_ONLY_TGA) && !defined(STBI_ONLY_PSD) && !defined(STBI_ONLY_PNM)
#define STBI_ONLY_JPEG
#define STBI_ONLY_PNG
#define STBI_ONLY_GIF
#define STBI_ONLY_TGA
#define STBI_ONLY_PSD
#define STBI_ONLY_PNM
#endif
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS (1 << 16)
#define STBI_MALLOC(size) calloc(1, size)
#define STBI_REALLOC(p, size) realloc(p, size)
#define STBI_FREE(p) free(p)
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
