#include "auxiliary/Shortcut.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <vector>

#include "file/FileSystem.h"
#include "file/PathText.h"
#include "thread/ComInitialize.h"

namespace Corvane { namespace Base { namespace Auxiliary {

namespace {

void SaveLink(IShellLinkA* shellLink, const std::string& link)
{
    IPersistFile* persist = nullptr;
    if (FAILED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist))) ||
        persist == nullptr)
        return;
    // Converted whole: a link name cut to a fixed buffer would save under another name.
    int n = MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, nullptr, 0);
    if (n > 0) {
        std::vector<wchar_t> wide(static_cast<size_t>(n));
        if (MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide.data(), n) == n)
            persist->Save(wide.data(), TRUE);
    }
    persist->Release();
}

}  // namespace

bool CreateShortcut(const std::string& target, const std::string& link)
{
    if (target.empty())
        return true;
    std::string linkFolder, linkName;
    File::SplitPath(link, linkFolder, linkName);
    File::CreateDirectoryTree(linkFolder);
    std::string targetFolder, targetName;
    File::SplitPath(target, targetFolder, targetName);

    if (!Thread::InitializeCom())
        return true;
    IShellLinkA* shellLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&shellLink))) &&
        shellLink != nullptr) {
        shellLink->SetPath(target.c_str());
        shellLink->SetWorkingDirectory(targetFolder.c_str());
        SaveLink(shellLink, link);
        shellLink->Release();
    }
    Thread::UninitializeCom();
    return true;
}

}}}
