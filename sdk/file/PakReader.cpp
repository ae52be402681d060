#include "file/PakReader.h"

#include <new>

#include "file/PakFormat.h"
#include "file/PathText.h"

namespace Corvane { namespace Base { namespace File {

namespace {

// Reads and inflates the block at offset/length into `zip`; false on any failure.
bool LoadBlock(PakByteSource& source, uint32_t offset, uint32_t length, CZip& zip, PakLoadFailure& failure)
{
    if (!Pak::MemberFits(offset, length, source.Size()))
        return false;
    unsigned char* block = new (std::nothrow) unsigned char[static_cast<size_t>(length) + 8];
    if (block == nullptr) {
        failure.m_bNoMemory = true;
        failure.m_nBlockSize = length;
        return false;
    }
    if (!source.ReadAt(offset, block, length)) {
        delete[] block;
        return false;
    }
    zip.Reset();
    zip.m_pSrc = block;
    zip.m_nSrcSize = length;
    bool ok = zip.Decompress();
    // The block is ours, not the zip's: it is freed here either way.
    zip.m_pSrc = nullptr;
    zip.m_nSrcSize = 0;
    delete[] block;
    return ok;
}

}  // namespace

int LoadArchiveMember(PakByteSource& archive, const std::string& inner, const std::string& innerSlash, CZip& zip,
                      PakLoadFailure& failure)
{
    unsigned char header[Pak::kHeaderSize];
    if (!archive.ReadAt(0, header, sizeof(header)) || !Pak::HasMagic(header, Pak::kArchiveMagic))
        return 0;
    uint32_t directorySize = Pak::ReadLE32(header + Pak::kMagicSize);
    if (!Pak::DirectoryFits(directorySize, archive.Size()))
        return 0;
    unsigned char* directory = new (std::nothrow) unsigned char[directorySize];
    if (directory == nullptr)
        return 0;
    Pak::Entry member;
    Pak::Lookup found = Pak::Lookup::NotFound;
    if (archive.ReadAt(Pak::kHeaderSize, directory, directorySize))
        found = Pak::FindEntry(directory, directorySize, inner, innerSlash, member);
    delete[] directory;
    if (found != Pak::Lookup::Found)
        return 0;
    return LoadBlock(archive, member.m_Offset, member.m_Length, zip, failure) ? 1 : -1;
}

bool ReadSingleHeader(PakByteSource& single, const std::string& lowerName, uint32_t& offset, uint32_t& length)
{
    unsigned char header[Pak::kHeaderSize];
    if (!single.ReadAt(0, header, sizeof(header)) || !Pak::HasMagic(header, Pak::kSingleMagic))
        return false;
    uint32_t nameSize = Pak::ReadLE32(header + Pak::kMagicSize);
    if (nameSize == 0 || nameSize > Pak::kMaxNameSize)
        return false;
    unsigned char rest[Pak::kMaxNameSize + 8];
    std::string name;
    if (!single.ReadAt(Pak::kHeaderSize, rest, nameSize + 8) ||
        !Pak::ParseSingleName(rest, nameSize, name, offset, length))
        return false;
    return ToLower(name) == lowerName;
}

int LoadSingle(PakByteSource& single, const std::string& lowerName, CZip& zip, PakLoadFailure& failure)
{
    uint32_t offset = 0, length = 0;
    if (!ReadSingleHeader(single, lowerName, offset, length))
        return 0;
    return LoadBlock(single, offset, length, zip, failure) ? 1 : 0;
}

}}}
