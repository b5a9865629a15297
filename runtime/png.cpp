#include "runtime/png.hpp"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <vector>

namespace rt {

// PNG: 8-bit RGB, one zlib stream, no filtering.
std::string png_of(const Canvas& canvas) {
    const int w = std::max(canvas.width(), 1), h = std::max(canvas.height(), 1);
    std::vector<unsigned char> raw;
    raw.reserve(static_cast<std::size_t>(h) * (w * 3 + 1));
    for (int y = 0; y < h; ++y) {
        raw.push_back(0);
        const std::uint32_t* row = canvas.pixels() + static_cast<std::size_t>(y) * w;
        for (int x = 0; x < w; ++x) {
            raw.push_back(static_cast<unsigned char>(row[x] >> 16));
            raw.push_back(static_cast<unsigned char>(row[x] >> 8));
            raw.push_back(static_cast<unsigned char>(row[x]));
        }
    }
    uLongf packed_size = compressBound(raw.size());
    std::vector<unsigned char> packed(packed_size);
    if (compress2(packed.data(), &packed_size, raw.data(), raw.size(), 6) != Z_OK)
        throw std::runtime_error("cannot compress the screen");
    packed.resize(packed_size);

    std::string out;
    auto be32 = [](unsigned char* p, uint32_t v) { p[0] = v >> 24; p[1] = v >> 16; p[2] = v >> 8; p[3] = v; };
    auto chunk = [&](const char* type, const unsigned char* data, std::size_t n) {
        unsigned char head[8];
        be32(head, static_cast<uint32_t>(n));
        std::memcpy(head + 4, type, 4);
        uLong crc = crc32(0, head + 4, 4);
        if (n) crc = crc32(crc, data, static_cast<uInt>(n));
        unsigned char tail[4];
        be32(tail, static_cast<uint32_t>(crc));
        out.append(reinterpret_cast<const char*>(head), 8);
        if (n) out.append(reinterpret_cast<const char*>(data), n);
        out.append(reinterpret_cast<const char*>(tail), 4);
    };
    out = "\x89PNG\r\n\x1a\n";
    unsigned char ihdr[13];
    be32(ihdr, static_cast<uint32_t>(w));
    be32(ihdr + 4, static_cast<uint32_t>(h));
    ihdr[8] = 8; ihdr[9] = 2; ihdr[10] = 0; ihdr[11] = 0; ihdr[12] = 0;
    chunk("IHDR", ihdr, 13);
    chunk("IDAT", packed.data(), packed.size());
    chunk("IEND", nullptr, 0);
    return out;
}

bool write_png(const Canvas& canvas, const std::string& path) {
    const std::string png = png_of(canvas);
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    const bool written = std::fwrite(png.data(), 1, png.size(), f) == png.size();
    return std::fclose(f) == 0 && written;
}

}  // namespace rt
