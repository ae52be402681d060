#pragma once

// Whether a file's bytes are a bitmap that LoadImage(LR_LOADFROMFILE) takes:
// a BMP file header, an info header Windows knows, a pixel format it can
// show and pixel data that lies inside the file. Pure: no Win32.

#include <cstddef>
#include <string>

namespace CheckDist {

struct BitmapInfo {
    long m_Width = 0;
    long m_Height = 0;  // absolute value; top-down bitmaps count positive
    int m_Bits = 0;
};

// True when loadable; otherwise `why` says what is wrong, in a few words.
bool CheckBitmap(const unsigned char* data, size_t size, BitmapInfo& info, std::string& why);

}  // namespace CheckDist
