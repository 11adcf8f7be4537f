// The size of a picture file, read from its header without decoding it, so a
// small file that would decode to gigabytes is refused before it costs any.
//
// The engine decodes only the formats it can size this way: PNG (IHDR), JPEG
// (the SOF segment), GIF (the logical screen and the first image), BMP (the
// DIB header), QOI, and ICO/CUR (every entry's own header, for the window
// icon). Other formats SDL_image knows (TIFF, WebP, PCX, PNM, XPM, XCF, XV,
// LBM, SVG, AVIF, JPEG XL, TGA) are refused.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

enum class PictureFormat { Unknown, Png, Jpeg, Gif, Bmp, Qoi, Ico, Cur };

struct PictureSize {
  PictureFormat format = PictureFormat::Unknown;
  uint32_t width = 0, height = 0;  // the largest the decoder may make, in pixels
};

// The longest side of a picture the engine decodes.
constexpr uint32_t kMaxPictureSide = 8192;

// The format and size of the picture in `data`, or format Unknown with the
// reason in `error` ("not a picture format the game reads", "PNG header cut
// short", ...).
PictureSize readPictureSize(const uint8_t* data, size_t size, std::string& error);

// "PNG", "JPEG", ...
const char* pictureFormatName(PictureFormat format);
