// The checker's bitmap verdict, case by case. What it accepts LoadImage
// must load; Wine's LoadImage also takes some malformed files that the
// checker refuses, so those are checked against the checker alone.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "BitmapCheck.h"
#include "file/PakFormat.h"
#include "support/ScratchDir.h"

namespace Pak = Corvane::Base::File::Pak;

namespace {

std::string Bitmap(int headerSize, int width, int height, int planes, int bits, int compression, int pixelBytes)
{
    int colours = bits <= 8 ? (1 << bits) : 0;
    int stride = ((width * bits + 31) / 32) * 4;
    int rows = height < 0 ? -height : height;
    uint32_t offset = 14 + headerSize + colours * (headerSize == 12 ? 3 : 4);
    std::string b = "BM";
    Pak::AppendLE32(b, 0);
    Pak::AppendLE32(b, 0);
    Pak::AppendLE32(b, offset);
    Pak::AppendLE32(b, headerSize);
    if (headerSize == 12) {
        b += static_cast<char>(width); b += '\0';
        b += static_cast<char>(height); b += '\0';
        b += static_cast<char>(planes); b += '\0';
        b += static_cast<char>(bits); b += '\0';
    } else {
        Pak::AppendLE32(b, static_cast<uint32_t>(width));
        Pak::AppendLE32(b, static_cast<uint32_t>(height));
        b += static_cast<char>(planes); b += '\0';
        b += static_cast<char>(bits); b += '\0';
        Pak::AppendLE32(b, compression);
        for (int i = 0; i < 5; ++i)
            Pak::AppendLE32(b, 0);
        b.append(headerSize - 40, '\0');
    }
    b.append(colours * (headerSize == 12 ? 3 : 4), '\x20');
    b.append(pixelBytes >= 0 ? pixelBytes : stride * rows, '\x55');
    return b;
}

}  // namespace

TEST(BitmapCheck, AcceptsWhatLoadImageLoadsAndRefusesMalformedFiles)
{
    struct Case {
        const char* name;
        std::string bytes;
        bool loadable;
    } cases[] = {
        {"24 bits", Bitmap(40, 9, 5, 1, 24, 0, -1), true},
        {"8 bits with palette", Bitmap(40, 9, 5, 1, 8, 0, -1), true},
        {"1 bit", Bitmap(40, 33, 2, 1, 1, 0, -1), true},
        {"32 bits, top-down", Bitmap(40, 4, -4, 1, 32, 0, -1), true},
        {"version 5 header", Bitmap(124, 4, 4, 1, 24, 0, -1), true},
        {"core header", Bitmap(12, 4, 4, 1, 24, 0, -1), true},
        {"PNG", std::string("\x89PNG\r\n\x1a\n", 8) + std::string(64, '\0'), false},
        {"text", "not a picture at all", false},
        {"header cut short", Bitmap(40, 9, 5, 1, 24, 0, -1).substr(0, 30), false},
        {"width 0", Bitmap(40, 0, 5, 1, 24, 0, 0), false},
        {"two planes", Bitmap(40, 9, 5, 2, 24, 0, -1), false},
        {"7 bits", Bitmap(40, 9, 5, 1, 7, 0, 200), false},
        {"JPEG inside", Bitmap(40, 9, 5, 1, 24, 4, -1), false},
        {"unknown header size", Bitmap(40, 9, 5, 1, 24, 0, -1).replace(14, 1, "\x29"), false},
    };
    TestSupport::ScratchDir dir;
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i) {
        const Case& c = cases[i];
        CheckDist::BitmapInfo info;
        std::string why;
        bool ours = CheckDist::CheckBitmap(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size(), info, why);
        EXPECT_EQ(c.loadable, ours) << "case " << i << ": " << c.name << ": " << why;
        EXPECT_EQ(c.loadable, why.empty()) << "case " << i << ": " << c.name;
        if (!c.loadable)
            continue;
        std::string file = "pic" + std::to_string(i) + ".bmp";
        ASSERT_TRUE(dir.WriteFile(file, c.bytes)) << "case " << i;
        HANDLE image = LoadImageA(nullptr, (dir / file).c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
        EXPECT_EQ(c.loadable, image != nullptr) << "case " << i << ": " << c.name << ": LoadImage refuses it";
        if (image != nullptr)
            DeleteObject(image);
    }
}
