#include "support/LinkReader.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

namespace TestSupport {

LinkContent ReadLink(const std::string& link)
{
    LinkContent content;
    HRESULT init = CoInitialize(nullptr);
    IShellLinkA* shellLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&shellLink)))) {
        IPersistFile* persist = nullptr;
        if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist)))) {
            wchar_t wide[MAX_PATH] = {};
            MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
            if (SUCCEEDED(persist->Load(wide, STGM_READ))) {
                char buffer[MAX_PATH] = {};
                content.loaded = true;
                if (SUCCEEDED(shellLink->GetPath(buffer, MAX_PATH, nullptr, SLGP_RAWPATH)))
                    content.path = buffer;
                buffer[0] = '\0';
                if (SUCCEEDED(shellLink->GetWorkingDirectory(buffer, MAX_PATH)))
                    content.workingFolder = buffer;
            }
            persist->Release();
        }
        shellLink->Release();
    }
    if (SUCCEEDED(init))
        CoUninitialize();
    return content;
}

}  // namespace TestSupport
