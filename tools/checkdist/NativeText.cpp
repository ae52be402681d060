#include "NativeText.h"

#include <cstdio>

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>
#endif

#include "file/PathText.h"

namespace CheckDist {

namespace {

#ifdef _WIN32
bool ToWide(UINT codePage, const std::string& in, std::wstring& out)
{
    out.clear();
    if (in.empty())
        return true;
    int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()), nullptr, 0);
    if (n <= 0)
        return false;
    out.assign(n, L'\0');
    MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, in.data(), static_cast<int>(in.size()), &out[0], n);
    return true;
}

bool FromWide(UINT codePage, const std::wstring& in, std::string& out)
{
    out.clear();
    if (in.empty())
        return true;
    // Best-fit mapping would turn a character the code page lacks into a
    // look-alike, which then names another file.
    BOOL usedDefault = FALSE;
    BOOL* flag = codePage == CP_UTF8 ? nullptr : &usedDefault;
    DWORD mode = codePage == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    int n = WideCharToMultiByte(codePage, mode, in.data(), static_cast<int>(in.size()), nullptr, 0, nullptr, flag);
    if (n <= 0 || usedDefault)
        return false;
    out.assign(n, '\0');
    WideCharToMultiByte(codePage, mode, in.data(), static_cast<int>(in.size()), &out[0], n, nullptr, flag);
    return !usedDefault;
}

bool Convert(UINT from, UINT to, const std::string& in, std::string& out)
{
    std::wstring wide;
    return ToWide(from, in, wide) && FromWide(to, wide, out);
}
#else
bool Convert(const char* from, const char* to, const std::string& in, std::string& out)
{
    out.clear();
    if (in.empty())
        return true;
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1))
        return false;
    out.assign(in.size() * 4 + 16, '\0');
    char* src = const_cast<char*>(in.data());
    size_t srcLeft = in.size();
    char* dst = &out[0];
    size_t dstLeft = out.size();
    size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    iconv_close(cd);
    if (rc == static_cast<size_t>(-1) || srcLeft != 0)
        return false;
    out.resize(out.size() - dstLeft);
    return true;
}
#endif

}  // namespace

bool Cp932ToUtf8(const std::string& in, std::string& out)
{
#ifdef _WIN32
    return Convert(932, CP_UTF8, in, out);
#else
    return Convert("CP932", "UTF-8", in, out);
#endif
}

bool Utf8ToCp932(const std::string& in, std::string& out)
{
#ifdef _WIN32
    return Convert(CP_UTF8, 932, in, out);
#else
    return Convert("UTF-8", "CP932", in, out);
#endif
}

std::string ShowCp932(const std::string& in)
{
    std::string out;
    if (Cp932ToUtf8(in, out))
        return out;
    // Character by character, so one bad byte does not hide the rest.
    out.clear();
    for (size_t i = 0; i < in.size();) {
        size_t n = Corvane::Base::File::IsSJISLeadByte(static_cast<unsigned char>(in[i])) && i + 1 < in.size() ? 2 : 1;
        std::string piece;
        if (Cp932ToUtf8(in.substr(i, n), piece)) {
            out += piece;
        } else {
            for (size_t k = 0; k < n; ++k) {
                char hex[8];
                std::snprintf(hex, sizeof(hex), "\\x%02X", static_cast<unsigned char>(in[i + k]));
                out += hex;
            }
        }
        i += n;
    }
    return out;
}

bool NameToCp932(const std::filesystem::path& name, std::string& out)
{
#ifdef _WIN32
    return FromWide(932, name.wstring(), out);
#else
    return Utf8ToCp932(name.string(), out);
#endif
}

std::string ForConsole(const std::string& utf8)
{
#ifdef _WIN32
    std::wstring wide;
    std::string out;
    if (!ToWide(CP_UTF8, utf8, wide))
        return utf8;
    UINT cp = GetConsoleOutputCP();
    if (cp == 0)
        cp = GetACP();
    int n = WideCharToMultiByte(cp, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return utf8;
    out.assign(n, '\0');
    WideCharToMultiByte(cp, 0, wide.data(), static_cast<int>(wide.size()), &out[0], n, nullptr, nullptr);
    return out;
#else
    return utf8;
#endif
}

}  // namespace CheckDist
