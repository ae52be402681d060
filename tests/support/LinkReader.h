#pragma once

#include <string>

namespace TestSupport {

// What a saved shell link holds, read back through the shell's own link object.
struct LinkContent {
    bool loaded = false;
    std::string path;
    std::string workingFolder;
};

LinkContent ReadLink(const std::string& link);

}  // namespace TestSupport
