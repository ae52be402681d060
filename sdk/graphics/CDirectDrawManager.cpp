#include "graphics/CDirectDrawManager.h"

#include <string>

#include "auxiliary/DebugPrint.h"
#include "thread/CCriticalLock.h"
#include "thread/Singleton.h"

namespace Corvane { namespace Base { namespace Graphics { namespace Graphics2D {

namespace {

// {B3A6F3E0-2B43-11CF-A2DE-00AA00B93356}
const GUID kIID_IDirectDraw2 = {0xB3A6F3E0, 0x2B43, 0x11CF, {0xA2, 0xDE, 0x00, 0xAA, 0x00, 0xB9, 0x33, 0x56}};

typedef HRESULT(WINAPI* DirectDrawCreateProc)(GUID*, LPDIRECTDRAW*, IUnknown*);

// Loaded by full path so that no copy beside the program is picked up.
DirectDrawCreateProc LoadDirectDrawCreate()
{
    char folder[MAX_PATH] = {};
    UINT length = GetSystemDirectoryA(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    std::string path = std::string(folder) + "\\ddraw.dll";
    HMODULE module = LoadLibraryA(path.c_str());
    if (module == nullptr)
        return nullptr;
    return reinterpret_cast<DirectDrawCreateProc>(
        reinterpret_cast<void*>(GetProcAddress(module, "DirectDrawCreate")));
}

}  // namespace

CDirectDrawEntry::CDirectDrawEntry(HWND hwnd, IDirectDraw2* directDraw)
    : m_hWnd(hwnd), m_pDirectDraw(directDraw), m_bFullScreen(false)
{
    if (m_pDirectDraw != nullptr)
        m_pDirectDraw->AddRef();
}

CDirectDrawEntry::~CDirectDrawEntry()
{
    if (m_pDirectDraw != nullptr)
        m_pDirectDraw->Release();
    m_pDirectDraw = nullptr;
}

bool CDirectDrawEntry::SetCooperativeLevel(DWORD flags)
{
    if (m_pDirectDraw == nullptr || FAILED(m_pDirectDraw->SetCooperativeLevel(m_hWnd, flags)))
        return false;
    m_bFullScreen = (flags & DDSCL_FULLSCREEN) != 0;
    return true;
}

CDirectDrawManager::CDirectDrawManager()
{
}

CDirectDrawManager::~CDirectDrawManager()
{
    Thread::CCriticalLock lock(&m_Lock);
    if (!m_Entries.empty())
        DebugPrint("CDirectDrawManager::~CDirectDrawManager() DirectDrawが解放されずにいるものがあります");
    for (CDirectDrawEntry* entry : m_Entries)
        delete entry;
    m_Entries.clear();
}

CDirectDrawEntry* CDirectDrawManager::Find(HWND hwnd)
{
    Thread::CCriticalLock lock(&m_Lock);
    for (CDirectDrawEntry* entry : m_Entries)
        if (entry->GetHWnd() == hwnd)
            return entry;
    return nullptr;
}

bool CDirectDrawManager::Register(HWND hwnd, IDirectDraw2* directDraw)
{
    Thread::CCriticalLock lock(&m_Lock);
    if (directDraw == nullptr || Find(hwnd) != nullptr)
        return false;
    CDirectDrawEntry* entry = new CDirectDrawEntry(hwnd, directDraw);
    if (entry == nullptr)
        return false;
    m_Entries.push_back(entry);
    return true;
}

bool CDirectDrawManager::CreateDirectDraw(HWND hwnd)
{
    static DirectDrawCreateProc s_Create = LoadDirectDrawCreate();
    if (s_Create == nullptr || Find(hwnd) != nullptr)
        return false;
    LPDIRECTDRAW first = nullptr;
    if (FAILED(s_Create(nullptr, &first, nullptr)) || first == nullptr)
        return false;
    // Version 2 and later take a refresh rate and flags in SetDisplayMode.
    IDirectDraw2* second = nullptr;
    HRESULT hr = first->QueryInterface(kIID_IDirectDraw2, reinterpret_cast<void**>(&second));
    first->Release();
    if (FAILED(hr) || second == nullptr)
        return false;
    bool registered = Register(hwnd, second);
    second->Release();
    return registered;
}

bool CDirectDrawManager::Unregister(HWND hwnd)
{
    Thread::CCriticalLock lock(&m_Lock);
    for (auto it = m_Entries.begin(); it != m_Entries.end(); ++it) {
        if ((*it)->GetHWnd() != hwnd)
            continue;
        delete *it;
        m_Entries.erase(it);
        return true;
    }
    return false;
}

int CDirectDrawManager::GetCount()
{
    Thread::CCriticalLock lock(&m_Lock);
    return static_cast<int>(m_Entries.size());
}

CDirectDrawManager* GetDirectDrawManager()
{
    return Thread::CSingleton<CDirectDrawManager>::Get();
}

}}}}
