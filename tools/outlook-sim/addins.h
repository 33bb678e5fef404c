#pragma once
// The add-ins as the mail host finds and drives them: every ProgID under
// Software\Microsoft\Office\Outlook\Addins of the machine (HKLM, in the registry view of the
// host's own bitness) or of the user (HKCU), whose LoadBehavior is 3 (load at start-up), the
// user's value overriding the machine's; created by CoCreateInstance through its registered
// class and driven through the host's add-in interface IDTExtensibility2. From version 15 on
// the administrator's list of managed add-ins decides over the load behaviour, and a host
// that requires signed add-ins loads only a DLL whose signature holds.
#include <windows.h>
#include <oaidl.h>

#include <string>
#include <vector>

#include "host/com/com_ptr.h"
#include "host/failure.h"

namespace outlook_sim {

// The host's add-in interface, as its type library describes it (a dual interface; the
// connect and disconnect modes are 32-bit enums).
struct IDTExtensibility2 : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE OnConnection(IDispatch* application, int connect_mode, IDispatch* addin_inst,
                                                   SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnDisconnection(int remove_mode, SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnAddInsUpdate(SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnStartupComplete(SAFEARRAY** custom) = 0;
    virtual HRESULT STDMETHODCALLTYPE OnBeginShutdown(SAFEARRAY** custom) = 0;
};

inline constexpr IID iid_extensibility = {0xB65AD801, 0xABAF, 0x11D0, {0xBB, 0x8B, 0x00, 0xA0, 0xC9, 0x0F, 0x27, 0x44}};
inline constexpr int ext_cm_Startup = 1;
inline constexpr int ext_dm_UserClosed = 1;

struct AddIn {
    std::wstring progid;
    host::com::com_ptr<IDTExtensibility2> object;
};

// An add-in as listed in the registry: its ProgID and the load behaviour that applies.
struct AddInEntry {
    std::wstring progid;
    DWORD load_behavior = 0;
};

// The add-ins listed under the machine's key and then the user's, each once: an entry of the
// user's for a ProgID the machine lists replaces the machine's load behaviour where it has one.
std::vector<AddInEntry> listed_addins(HKEY machine, HKEY user);

// The administrator's list of managed add-ins for a host of that major version (from 15 on):
// Software\Policies\Microsoft\Office\N.0\Outlook\Resiliency\AddinList of the machine, then
// the user, each value named by a ProgID: 0 never loads it, 1 always loads it (whatever the
// user's load behaviour says), 2 leaves it to the user.
enum class Managed { Off = 0, On = 1, UserDecides = 2 };
std::vector<std::pair<std::wstring, Managed>> managed_addins(int major_version);

// The load behaviour that applies to a listed add-in under the managed list: 0 for one the
// list turns off, 3 for one it turns on, else the listed one.
DWORD load_behavior_under(const AddInEntry& entry, const std::vector<std::pair<std::wstring, Managed>>& managed);

struct LoadRules {
    int major_version = 11;       // the host's Application.Version, its major part
    bool require_signed = false;  // only DLLs whose signature holds (WinVerifyTrust)
};

// Creates every add-in that loads at start-up, the machine's first, in the order of the
// registry. An add-in that cannot be created, is turned off by the administrator or is not
// signed where that is required is passed over with a message naming it.
std::vector<AddIn> create_addins(const LoadRules& rules = {});

// The failure a call of the add-in returned, with the description it left as error info.
host::Failure failure_of(HRESULT hr);

// The module that holds a COM object's code (its method table lies in the module's image),
// without a reference on it; null when there is none.
HMODULE module_of(IUnknown* object);
// The file of a loaded module.
std::wstring module_file(HMODULE module);

}  // namespace outlook_sim
