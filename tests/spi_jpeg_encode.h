// spi_jpeg_encode.h - JPEG files written with the distribution's libjpeg, for
// the native plug-in tests and benchmark (not for the Windows builds).
#pragma once
#include <stdio.h>
#include <stdlib.h>

#include <vector>

#include <jpeglib.h>

namespace spisample {

// A JPEG of w x h pixels in the colour space in (grey, RGB or CMYK), stored as
// out (CMYK and YCCK files carry Adobe's marker), at quality; sampling 1x1 when
// full, else the library's default (4:2:0); arithmetic or Huffman coding.
inline std::vector<unsigned char> EncodeJpeg(int w, int h, const std::vector<unsigned char>& px,
                                             J_COLOR_SPACE in, J_COLOR_SPACE out, int quality,
                                             bool full, bool arith) {
    jpeg_compress_struct c;
    jpeg_error_mgr err;
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* mem = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &mem, &size);
    c.image_width = (JDIMENSION)w;
    c.image_height = (JDIMENSION)h;
    c.input_components = in == JCS_GRAYSCALE ? 1 : in == JCS_CMYK ? 4 : 3;
    c.in_color_space = in;
    jpeg_set_defaults(&c);
    jpeg_set_colorspace(&c, out);
    jpeg_set_quality(&c, quality, TRUE);
    c.arith_code = arith;
    for (int i = 0; full && i < c.num_components; i++)
        c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    jpeg_start_compress(&c, TRUE);
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = (JSAMPROW)&px[(size_t)c.next_scanline * w * c.input_components];
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    std::vector<unsigned char> b(mem, mem + size);
    free(mem);
    return b;
}

}  // namespace spisample
