#include "auxiliary/InstallJournalFormat.h"

#include "auxiliary/Checksum.h"
#include "file/PathText.h"

namespace Corvane { namespace Base { namespace Auxiliary {

namespace {

const char kMagic[] = {'C', 'V', 'J', '1'};
const size_t kMagicSize = sizeof(kMagic);
// kind, attributes, two path lengths; then the paths and a checksum.
const size_t kFixedSize = 1 + 4 + 2 + 2;
const size_t kChecksumSize = 4;

void AppendLE(std::string& out, uint32_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

uint32_t ReadLE(const unsigned char* p, int bytes)
{
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = v << 8 | p[i];
    return v;
}

bool KnownKind(unsigned char c)
{
    return c == static_cast<unsigned char>(JournalKind::Folder) || c == static_cast<unsigned char>(JournalKind::Created) ||
           c == static_cast<unsigned char>(JournalKind::Kept) || c == static_cast<unsigned char>(JournalKind::Committed);
}

}  // namespace

std::string EncodeJournalHeader()
{
    return std::string(kMagic, kMagicSize);
}

std::string EncodeJournalEntry(const JournalEntry& entry)
{
    if (entry.path.size() > kJournalMaxPath || entry.kept.size() > kJournalMaxPath)
        return std::string();
    std::string out;
    out += static_cast<char>(entry.kind);
    AppendLE(out, entry.attributes, 4);
    AppendLE(out, static_cast<uint32_t>(entry.path.size()), 2);
    AppendLE(out, static_cast<uint32_t>(entry.kept.size()), 2);
    out += entry.path;
    out += entry.kept;
    AppendLE(out, Fnv1a(reinterpret_cast<const unsigned char*>(out.data()), out.size()), 4);
    return out;
}

bool DecodeJournal(const std::string& bytes, std::vector<JournalEntry>& entries)
{
    entries.clear();
    if (bytes.size() < kMagicSize || bytes.compare(0, kMagicSize, kMagic, kMagicSize) != 0)
        return false;
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data());
    size_t at = kMagicSize;
    while (bytes.size() - at >= kFixedSize) {
        const unsigned char* p = data + at;
        size_t pathSize = ReadLE(p + 5, 2);
        size_t keptSize = ReadLE(p + 7, 2);
        if (!KnownKind(p[0]) || pathSize > kJournalMaxPath || keptSize > kJournalMaxPath)
            break;
        size_t body = kFixedSize + pathSize + keptSize;
        if (bytes.size() - at < body + kChecksumSize)
            break;  // torn by a kill in the middle of the write
        if (ReadLE(p + body, 4) != Fnv1a(p, body))
            break;
        JournalEntry entry;
        entry.kind = static_cast<JournalKind>(p[0]);
        entry.attributes = ReadLE(p + 1, 4);
        entry.path.assign(reinterpret_cast<const char*>(p + kFixedSize), pathSize);
        entry.kept.assign(reinterpret_cast<const char*>(p + kFixedSize + pathSize), keptSize);
        entries.push_back(entry);
        at += body + kChecksumSize;
    }
    return true;
}

bool IsPathBelow(const std::string& path, const std::string& folder)
{
    if (folder.empty() || path.size() <= folder.size() + 1)
        return false;
    if (File::ToLower(path.substr(0, folder.size())) != File::ToLower(folder) || path[folder.size()] != '\\')
        return false;
    // The folder may end inside a double-byte character: then its last byte
    // was a lead byte and the backslash after it is a trail byte.
    for (size_t i = 0; i < folder.size(); i += File::IsSJISLeadByte(static_cast<unsigned char>(folder[i])) ? 2 : 1)
        if (i + 1 == folder.size() && File::IsSJISLeadByte(static_cast<unsigned char>(folder[i])))
            return false;
    std::string component;
    for (size_t i = folder.size() + 1; i <= path.size(); ++i) {
        unsigned char c = i < path.size() ? static_cast<unsigned char>(path[i]) : '\\';
        if (File::IsSJISLeadByte(c) && i + 1 < path.size()) {
            component += path[i];
            component += path[++i];
            continue;
        }
        if (c == '\\') {
            if (component.empty() || component == "." || component == "..")
                return false;
            component.clear();
            continue;
        }
        if (c == ':' || c == '/' || c < 0x20)
            return false;
        component += static_cast<char>(c);
    }
    return true;
}

}}}
