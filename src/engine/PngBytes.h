// A picture encoded as a PNG file in memory, so the file itself is written
// (and its writes checked) by the engine rather than inside SDL_image, whose
// writer reports success even when the disk is full.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct SDL_Surface;

// Encodes `picture` as PNG into `out`. False with the reason in `error`.
bool encodePng(SDL_Surface* picture, std::vector<uint8_t>& out, std::string& error);
