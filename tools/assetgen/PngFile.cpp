#include "PngFile.h"

#include <libimagequant.h>
#include <png.h>

#include <algorithm>
#include <fstream>
#include <stdexcept>
#include <unordered_map>

namespace assetgen {
namespace {

struct Palette {
  std::vector<uint32_t> colours;  // RGBA packed as R << 24 | G << 16 | B << 8 | A
  std::vector<uint8_t> indices;   // one a pixel
};

uint32_t packed(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 | static_cast<uint32_t>(p[2]) << 8 | p[3];
}

bool translucentFirst(uint32_t a, uint32_t b) {
  const bool opaqueA = (a & 0xff) == 0xff, opaqueB = (b & 0xff) == 0xff;
  return opaqueA != opaqueB ? opaqueB : a < b;
}

// The picture's own colours, if there are no more than 256: opaque ones last,
// so the transparency chunk lists only the translucent ones. Sorted, so the
// palette does not depend on the order the colours first appear in.
bool exactPalette(const std::vector<uint8_t>& rgba, Palette& out) {
  std::unordered_map<uint32_t, int> seen;
  const size_t pixels = rgba.size() / 4;
  for (size_t i = 0; i < pixels; ++i) {
    seen.emplace(packed(&rgba[i * 4]), 0);
    if (seen.size() > 256) return false;
  }
  out.colours.clear();
  for (const auto& [colour, unused] : seen) out.colours.push_back(colour);
  std::sort(out.colours.begin(), out.colours.end(), translucentFirst);
  for (size_t i = 0; i < out.colours.size(); ++i) seen[out.colours[i]] = static_cast<int>(i);
  out.indices.resize(pixels);
  for (size_t i = 0; i < pixels; ++i) out.indices[i] = static_cast<uint8_t>(seen[packed(&rgba[i * 4])]);
  return true;
}

// 256 colours chosen for the picture, each pixel mapped to one of them with
// error diffusion, which keeps soft edges and shading smooth to the eye.
void quantisedPalette(const std::vector<uint8_t>& rgba, int width, int height, Palette& out) {
  liq_attr* attr = liq_attr_create();
  if (!attr) throw std::runtime_error("libimagequant: cannot start");
  liq_image* image = nullptr;
  liq_result* result = nullptr;
  std::vector<uint8_t> remapped(static_cast<size_t>(width) * height);
  bool ok = liq_set_max_colors(attr, 256) == LIQ_OK && liq_set_speed(attr, 1) == LIQ_OK;
  if (ok) image = liq_image_create_rgba(attr, rgba.data(), width, height, 0);
  ok = ok && image && liq_image_quantize(image, attr, &result) == LIQ_OK;
  ok = ok && liq_set_dithering_level(result, 1.0f) == LIQ_OK &&
       liq_write_remapped_image(result, image, remapped.data(), remapped.size()) == LIQ_OK;
  std::vector<uint32_t> colours;
  if (ok) {
    const liq_palette* palette = liq_get_palette(result);
    for (unsigned i = 0; i < palette->count; ++i) {
      const liq_color& c = palette->entries[i];
      colours.push_back(static_cast<uint32_t>(c.r) << 24 | static_cast<uint32_t>(c.g) << 16 |
                        static_cast<uint32_t>(c.b) << 8 | c.a);
    }
  }
  if (result) liq_result_destroy(result);
  if (image) liq_image_destroy(image);
  liq_attr_destroy(attr);
  if (!ok || colours.empty()) throw std::runtime_error("libimagequant: cannot choose the colours");
  // The same order as an exact palette's: translucent colours first.
  std::vector<int> order(colours.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return translucentFirst(colours[a], colours[b]); });
  std::vector<uint8_t> newIndex(colours.size());
  out.colours.clear();
  for (size_t i = 0; i < order.size(); ++i) {
    newIndex[order[i]] = static_cast<uint8_t>(i);
    out.colours.push_back(colours[order[i]]);
  }
  out.indices.resize(remapped.size());
  for (size_t i = 0; i < remapped.size(); ++i) {
    if (remapped[i] >= colours.size()) throw std::runtime_error("libimagequant: a pixel outside the palette");
    out.indices[i] = newIndex[remapped[i]];
  }
}

void appendBytes(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void failed(png_structp, png_const_charp message) { throw std::runtime_error(std::string("libpng: ") + message); }
void warned(png_structp, png_const_charp) {}

// One PNG of the rows (bytesPerPixel bytes a pixel) with the given filters.
std::vector<uint8_t> writeRows(const uint8_t* rows, int width, int height, const Palette* palette, int filters) {
  std::vector<uint8_t> out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, failed, warned);
  if (!png) throw std::runtime_error("libpng: cannot start the writer");
  png_infop info = png_create_info_struct(png);
  try {
    if (!info) throw std::runtime_error("libpng: cannot start the writer");
    png_set_write_fn(png, &out, appendBytes, nullptr);
    png_set_compression_level(png, 9);
    png_set_compression_mem_level(png, 9);
    png_set_filter(png, PNG_FILTER_TYPE_BASE, filters);
    const int bytesPerPixel = palette ? 1 : 4;
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 palette ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> colours;
    std::vector<png_byte> alphas;
    if (palette) {
      for (uint32_t c : palette->colours) {
        colours.push_back(png_color{static_cast<png_byte>(c >> 24), static_cast<png_byte>(c >> 16),
                                    static_cast<png_byte>(c >> 8)});
        if ((c & 0xff) != 0xff) alphas.push_back(static_cast<png_byte>(c & 0xff));
      }
      png_set_PLTE(png, info, colours.data(), static_cast<int>(colours.size()));
      if (!alphas.empty()) png_set_tRNS(png, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
    }
    png_write_info(png, info);
    for (int y = 0; y < height; ++y)
      png_write_row(png, rows + static_cast<size_t>(y) * width * bytesPerPixel);
    png_write_end(png, nullptr);
  } catch (...) {
    png_destroy_write_struct(&png, &info);
    throw;
  }
  png_destroy_write_struct(&png, &info);
  return out;
}

}  // namespace

std::vector<uint8_t> encodePng(const std::vector<uint8_t>& rgba, int width, int height, PngColours colours) {
  if (width <= 0 || height <= 0 || rgba.size() != static_cast<size_t>(width) * height * 4)
    throw std::runtime_error("a PNG of " + std::to_string(width) + "x" + std::to_string(height) + " needs " +
                             "4 bytes a pixel");
  // Indexed rows compress best unfiltered as a rule, full-colour ones with a
  // filter chosen row by row; trying both costs little and sometimes wins.
  Palette palette;
  bool indexed = exactPalette(rgba, palette);
  if (!indexed && colours == PngColours::Quantised) {
    quantisedPalette(rgba, width, height, palette);
    indexed = true;
  }
  const uint8_t* rows = indexed ? palette.indices.data() : rgba.data();
  const Palette* p = indexed ? &palette : nullptr;
  std::vector<uint8_t> best = writeRows(rows, width, height, p, PNG_FILTER_NONE);
  std::vector<uint8_t> filtered = writeRows(rows, width, height, p, PNG_ALL_FILTERS);
  if (filtered.size() < best.size()) best.swap(filtered);
  return best;
}

void writePng(const std::string& path, const std::vector<uint8_t>& rgba, int width, int height, PngColours colours) {
  std::vector<uint8_t> bytes;
  try {
    bytes = encodePng(rgba, width, height, colours);
  } catch (const std::runtime_error& e) {
    throw std::runtime_error(path + ": cannot write the PNG: " + e.what());
  }
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!file) throw std::runtime_error(path + ": cannot write the PNG");
}

}  // namespace assetgen
