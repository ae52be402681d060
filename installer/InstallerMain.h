#pragma once

namespace Installer {

// The installer's work once the start-up object exists: validation, the
// relaunch chain, the copy under the progress dialog and the post-processing.
void RunInstaller();

}  // namespace Installer
