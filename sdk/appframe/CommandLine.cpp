#include "appframe/CommandLine.h"

#include <cstring>

namespace Corvane { namespace Base { namespace AppFrame {

std::vector<std::string> SplitCommandLine(const char* text)
{
    std::vector<std::string> arguments;
    if (text == nullptr)
        return arguments;
    size_t length = std::strlen(text);
    size_t i = 0;
    while (i < length) {
        if (text[i] == '"') {
            size_t start = i + 1;
            size_t j = start;
            size_t close = std::string::npos;
            while (j < length) {
                if (text[j] == '"') {
                    if (j + 1 == length || text[j + 1] == ' ') {
                        close = j;
                        break;
                    }
                    j += 2;  // an inner quote: the byte after it is not looked at
                    continue;
                }
                ++j;
            }
            if (close != std::string::npos) {
                arguments.push_back(std::string(text + start, close - start));
                i = close + 1;
                if (i < length && text[i] == ' ')
                    ++i;
            } else {
                arguments.push_back(std::string(text + i, length - i));  // opening quote kept
                i = length;
            }
            continue;
        }
        size_t start = i;
        while (i < length && text[i] != ' ')
            ++i;
        arguments.push_back(std::string(text + start, i - start));
        if (i < length)
            ++i;  // one blank after it
    }
    return arguments;
}

}}}
