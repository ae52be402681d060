#include "auxiliary/SetupInformationFormat.h"

#include <cstring>

#include "auxiliary/Checksum.h"
#include "file/PathText.h"

namespace Corvane { namespace Base { namespace Auxiliary {

namespace {

uint32_t ReadLE32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

void AppendLE32(std::string& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string ReadText(const unsigned char* field)
{
    const void* nul = std::memchr(field, 0, kSetupInfoFieldSize);
    size_t length = nul != nullptr ? static_cast<const unsigned char*>(nul) - field : kSetupInfoFieldSize;
    return std::string(reinterpret_cast<const char*>(field), length);
}

void AppendText(std::string& out, const std::string& text)
{
    std::string cut = CutSetupInformationText(text);
    out += cut;
    out.append(kSetupInfoFieldSize - cut.size(), '\0');
}

}  // namespace

std::string CutSetupInformationText(const std::string& text)
{
    const size_t limit = kSetupInfoFieldSize - 1;
    size_t end = 0;
    for (size_t i = 0; i < text.size();) {
        size_t step = File::IsSJISLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
        if (i + step > limit)
            break;
        i += step;
        end = i;
    }
    return text.substr(0, end);
}

bool DecodeSetupInformation(const std::string& bytes, std::vector<SetupInformationRecord>& records)
{
    records.clear();
    if (bytes.empty())
        return true;
    if (bytes.size() < 4)
        return false;
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data());
    uint32_t count = ReadLE32(data);
    size_t available = (bytes.size() - 4) / kSetupInfoRecordSize;
    size_t n = count < available ? count : available;
    for (size_t i = 0; i < n; ++i) {
        const unsigned char* r = data + 4 + i * kSetupInfoRecordSize;
        SetupInformationRecord record;
        record.m_AppName = ReadText(r);
        record.m_InstallFolder = ReadText(r + kSetupInfoFieldSize);
        record.m_ProgramPath = ReadText(r + 2 * kSetupInfoFieldSize);
        record.m_UninstallerPath = ReadText(r + 3 * kSetupInfoFieldSize);
        record.m_bFlag = ReadLE32(r + 4 * kSetupInfoFieldSize) != 0;
        records.push_back(record);
    }
    return true;
}

std::string EncodeSetupInformation(const std::vector<SetupInformationRecord>& records)
{
    std::string out;
    out.reserve(4 + records.size() * kSetupInfoRecordSize);
    AppendLE32(out, static_cast<uint32_t>(records.size()));
    for (const SetupInformationRecord& r : records) {
        AppendText(out, r.m_AppName);
        AppendText(out, r.m_InstallFolder);
        AppendText(out, r.m_ProgramPath);
        AppendText(out, r.m_UninstallerPath);
        AppendLE32(out, r.m_bFlag ? 1 : 0);
    }
    return out;
}

void MergeSetupInformation(std::vector<SetupInformationRecord>& records, const SetupInformationRecord& fresh)
{
    bool matched = false;
    for (SetupInformationRecord& r : records) {
        if (r.m_AppName != fresh.m_AppName)
            continue;
        matched = true;
        if (!fresh.m_AppName.empty())
            r.m_AppName = fresh.m_AppName;
        if (!fresh.m_InstallFolder.empty())
            r.m_InstallFolder = fresh.m_InstallFolder;
        if (!fresh.m_ProgramPath.empty())
            r.m_ProgramPath = fresh.m_ProgramPath;
        if (!fresh.m_UninstallerPath.empty())
            r.m_UninstallerPath = fresh.m_UninstallerPath;
        r.m_bFlag = fresh.m_bFlag;
    }
    if (!matched)
        records.push_back(fresh);
}

namespace {

const char kUpdateMagic[] = {'C', 'V', 'I', 'U'};

}  // namespace

std::string EncodeSetupInformationUpdate(const std::string& content)
{
    std::string out(kUpdateMagic, sizeof(kUpdateMagic));
    AppendLE32(out, static_cast<uint32_t>(content.size()));
    AppendLE32(out, Fnv1a(reinterpret_cast<const unsigned char*>(content.data()), content.size()));
    out += content;
    return out;
}

bool DecodeSetupInformationUpdate(const std::string& bytes, std::string& content)
{
    content.clear();
    const size_t header = sizeof(kUpdateMagic) + 8;
    if (bytes.size() < header || bytes.compare(0, sizeof(kUpdateMagic), kUpdateMagic, sizeof(kUpdateMagic)) != 0)
        return false;
    const unsigned char* data = reinterpret_cast<const unsigned char*>(bytes.data());
    uint32_t length = ReadLE32(data + 4);
    if (bytes.size() - header != length)
        return false;
    if (ReadLE32(data + 8) != Fnv1a(data + header, length))
        return false;
    content.assign(bytes, header, length);
    return true;
}

}}}
