#include "BitmapCheck.h"

#include <cstdint>

namespace CheckDist {

namespace {

uint32_t LE32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

unsigned LE16(const unsigned char* p)
{
    return p[0] | (p[1] << 8);
}

const size_t kFileHeader = 14;

}  // namespace

bool CheckBitmap(const unsigned char* data, size_t size, BitmapInfo& info, std::string& why)
{
    info = BitmapInfo();
    if (size < 2 || data[0] != 'B' || data[1] != 'M') {
        if (size >= 8 && data[0] == 0x89 && data[1] == 'P' && data[2] == 'N' && data[3] == 'G')
            why = "a PNG file, not a bitmap";
        else if (size >= 3 && data[0] == 0xFF && data[1] == 0xD8 && data[2] == 0xFF)
            why = "a JPEG file, not a bitmap";
        else
            why = "not a bitmap (no BM header)";
        return false;
    }
    if (size < kFileHeader + 12) {
        why = "truncated: the headers are incomplete";
        return false;
    }
    uint32_t pixelOffset = LE32(data + 10);
    uint32_t headerSize = LE32(data + kFileHeader);
    const unsigned char* h = data + kFileHeader;
    int64_t width = 0, height = 0;
    unsigned planes = 0, bits = 0;
    uint32_t compression = 0, colours = 0;
    if (headerSize == 12) {
        width = LE16(h + 4);
        height = LE16(h + 6);
        planes = LE16(h + 8);
        bits = LE16(h + 10);
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
               headerSize == 124) {
        if (size < kFileHeader + headerSize) {
            why = "truncated: the info header is incomplete";
            return false;
        }
        width = static_cast<int32_t>(LE32(h + 4));
        height = static_cast<int32_t>(LE32(h + 8));
        planes = LE16(h + 12);
        bits = LE16(h + 14);
        compression = LE32(h + 16);
        colours = LE32(h + 32);
    } else {
        why = "unknown info header size " + std::to_string(headerSize);
        return false;
    }
    if (width <= 0 || height == 0) {
        why = "no pixels (width or height 0)";
        return false;
    }
    if (planes != 1) {
        why = "plane count " + std::to_string(planes) + " (must be 1)";
        return false;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
        why = std::to_string(bits) + " bits per pixel";
        return false;
    }
    bool rle = false;
    switch (compression) {
    case 0:  // BI_RGB
        break;
    case 1:  // BI_RLE8
    case 2:  // BI_RLE4
        if ((compression == 1 && bits != 8) || (compression == 2 && bits != 4) || height < 0) {
            why = "run-length compression that does not fit its pixel format";
            return false;
        }
        rle = true;
        break;
    case 3:  // BI_BITFIELDS
        if (bits != 16 && bits != 32) {
            why = "bit fields with " + std::to_string(bits) + " bits per pixel";
            return false;
        }
        break;
    case 4:
    case 5:
        why = "JPEG or PNG inside a bitmap, which LoadImage cannot show";
        return false;
    default:
        why = "unknown compression " + std::to_string(compression);
        return false;
    }
    int64_t rows = height < 0 ? -height : height;
    if (pixelOffset < kFileHeader + headerSize || pixelOffset >= size) {
        why = "the pixel data offset lies outside the file";
        return false;
    }
    if (bits <= 8 && colours > (1u << bits)) {
        why = "more palette colours than the pixel format has";
        return false;
    }
    if (!rle) {
        int64_t stride = ((width * bits + 31) / 32) * 4;
        if (stride * rows > static_cast<int64_t>(size - pixelOffset)) {
            why = "truncated: the pixel data is shorter than " + std::to_string(width) + " x " +
                  std::to_string(rows) + " needs";
            return false;
        }
    }
    info.m_Width = static_cast<long>(width);
    info.m_Height = static_cast<long>(rows);
    info.m_Bits = static_cast<int>(bits);
    return true;
}

}  // namespace CheckDist
