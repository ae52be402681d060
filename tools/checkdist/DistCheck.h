#pragma once

// Checks an add-on distribution folder the way setup and installer will
// read it: where cfg\init.ini comes from, every key as the programs see it,
// the line-level mistakes of the script format, and the files the keys
// name. Nothing is written. Report texts are UTF-8.

#include <filesystem>
#include <string>
#include <vector>

namespace CheckDist {

enum class Severity { Error, Warning };

struct Finding {
    Severity m_Severity = Severity::Error;
    std::string m_Code;     // stable name of the kind of mistake, e.g. "value-cut"
    std::string m_File;     // relative to the distribution, backslashes
    int m_Line = 0;         // 0 when the finding has no line
    std::string m_Key;      // the configuration key concerned, if any
    std::string m_Message;  // one sentence for a person
};

// A known key as the programs read it: the first entry wins.
struct KeyReport {
    std::string m_Key;
    bool m_bPresent = false;
    int m_Line = 0;
    std::string m_Value;  // UTF-8
    std::string m_Note;   // what a missing or empty value means
};

struct Fact {
    std::string m_Section;
    std::string m_Text;
};

struct Report {
    std::string m_Distribution;
    std::string m_ConfigSource;  // "plain file", "single compressed file", "archive member" or "none"
    std::string m_ConfigPath;
    std::vector<KeyReport> m_Keys;
    std::vector<Fact> m_Facts;
    std::vector<Finding> m_Findings;

    int Count(Severity severity) const;
};

Report CheckDistribution(const std::filesystem::path& dist);

std::string FormatText(const Report& report);
std::string FormatJson(const Report& report);

}  // namespace CheckDist
