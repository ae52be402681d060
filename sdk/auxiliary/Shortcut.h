#pragma once

#include <string>

namespace Corvane { namespace Base { namespace Auxiliary {

// Writes the shell shortcut `link` (.lnk) to `target`, working folder the
// target's folder; an existing link is overwritten and the link's folder is
// created. Always true: nobody acts on a failed shortcut. A shortcut without
// a target would point nowhere, so none is saved for an empty target.
bool CreateShortcut(const std::string& target, const std::string& link);

}}}
