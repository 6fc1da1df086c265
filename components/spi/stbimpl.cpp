// stbimpl.cpp - the one instance of the distribution's stb_image decoder, for
// TGA and PSD pictures only. No file access: the plug-ins hand it memory. Its
// blocks are zeroed when allocated, so no picture ever carries what the heap
// held before. Outside code: built without our warnings.
#include <stdlib.h>
#define STBI_ONLY_TGA
#define STBI_NO_STDIO
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS (1 << 16)
#define STBI_MALLOC(size) calloc(1, size)
#define STBI_REALLOC(p, size) realloc(p, size)
#define STBI_FREE(p) free(p)
#define STB_IMAGE_IMPLEMENTATION
#include <stb_image.h>
