#pragma once
// The add-in's ribbon as the mail host reaches it over COM: QueryInterface for the ribbon
// interface, GetCustomUI for the explorer's ribbon, and every callback that the XML names
// found by name on the add-in's IDispatch (GetIDsOfNames, once per name) and called with
// Invoke.
#include <windows.h>
#include <oaidl.h>

#include <map>
#include <optional>
#include <string>

#include "host/com/com_ptr.h"
#include "sim/model/ribbon.h"

namespace outlook_sim {

// The host's ribbon interface, as its type library describes it.
struct IRibbonExtensibility : public IDispatch {
    virtual HRESULT STDMETHODCALLTYPE GetCustomUI(BSTR ribbon_id, BSTR* xml) = 0;
};
inline constexpr IID iid_ribbon_extensibility = {0x000C0396, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};

class AddInRibbon {
public:
    explicit AddInRibbon(IUnknown* addin);

    // The add-in offers the ribbon interface.
    bool offered() const { return static_cast<bool>(extensibility_); }
    // The add-in's XML for that ribbon id; a failure it returns comes out as host::Failure.
    std::u16string GetCustomUI(std::u16string_view ribbon_id);
    // Calls the callbacks by name; a name the add-in's IDispatch does not know stops the
    // scenario (sim::ScenarioError), a failure the callback returns is a host::Failure.
    sim::RibbonInvoker invoker();

private:
    DISPID id_of(std::u16string_view name);

    host::com::com_ptr<IRibbonExtensibility> extensibility_;
    host::com::com_ptr<IDispatch> dispatch_;
    std::map<std::u16string, DISPID> ids_;
};

}  // namespace outlook_sim
