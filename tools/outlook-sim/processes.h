#pragma once
// The processes the add-in starts (the help viewer) are recorded into the event log instead
// of being started: the add-in module's import of CreateProcessW is pointed at a recorder,
// which hands back handles of its own for the add-in to close. A person would see the
// viewer's window; the transcript shows the command line, as the native player's does.
// Likewise the addresses it opens through the shell (ShellExecuteExW): a "shell" event. The
// Windows folder it starts the viewer from (GetSystemWindowsDirectoryW) is the profile's.
#include <windows.h>

namespace sim {
class SimHost;
}

namespace outlook_sim {

class ProcessRecorder {
public:
    explicit ProcessRecorder(sim::SimHost& host);
    ~ProcessRecorder();
    ProcessRecorder(const ProcessRecorder&) = delete;
    ProcessRecorder& operator=(const ProcessRecorder&) = delete;

    // Redirects the imports of the module that holds this COM object's code. False when the
    // module imports no CreateProcessW or no GetSystemWindowsDirectoryW.
    bool watch(IUnknown* object);
};

}  // namespace outlook_sim
