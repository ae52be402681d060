#pragma once

#include <windows.h>

#include <string>

namespace Setup {

// Values the launcher's dialogs share; strings, so no configuration value is cut.
extern std::string g_szAppName;
extern std::string g_szDiskDirectory;
extern std::string g_szTargetDirectory;
extern std::string g_szGameExecute;
extern std::string g_szGameUninstall;
extern std::string g_szDialogBitmap;

// The store launcher's key for a processor architecture (wProcessorArchitecture)
// and a WOW64 answer; false for an architecture it does not serve.
bool ChooseLauncherKey(WORD architecture, bool wow64, std::string& key);

// The installed base game as the store launcher left it: its "Path" value.
// Shows the registry failure box when the key cannot be opened.
bool FindLauncherInstallation(std::string& folder);

// setup's work once the start-up object exists: single instance, game
// check, detection, confirmation and the installer run.
void RunSetup();

}  // namespace Setup
