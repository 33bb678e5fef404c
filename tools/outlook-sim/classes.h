#pragma once
// The classes the mail host's machine has registered, played by this program: the mail
// host's Application (its published class id), the safe-item library's three wrappers and the
// web browser (by ProgID). Each class object hands out a fresh adapter over the substitute
// host's object, made through the host's own choke point, so that creating them can be
// failed like any host call. Registered while the object lives, revoked after.
#include <windows.h>

#include <string>
#include <vector>

#include "host/com/com_ptr.h"

namespace sim {
class SimHost;
}

namespace outlook_sim {

class ClassRegistrations {
public:
    // With `safe_items` false the safe-item library counts as not installed: its ProgIDs are
    // left unregistered (and any left from an earlier run removed).
    ClassRegistrations(sim::SimHost& host, bool safe_items);
    ~ClassRegistrations();
    ClassRegistrations(const ClassRegistrations&) = delete;
    ClassRegistrations& operator=(const ClassRegistrations&) = delete;

private:
    void register_class(const CLSID& clsid, host::com::com_ptr<IClassFactory> factory);
    void register_progid(const std::wstring& progid, const CLSID& clsid);
    void release() noexcept;

    std::vector<DWORD> cookies_;
    std::vector<std::wstring> written_keys_;  // ProgID keys this object made, removed after
};

}  // namespace outlook_sim
