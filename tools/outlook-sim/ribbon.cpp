#include "tools/outlook-sim/ribbon.h"

#include <vector>

#include "host/com/bstr.h"
#include "host/com/com_variant.h"
#include "host/com/hresult.h"
#include "host/text.h"
#include "sim/model/world.h"
#include "tools/outlook-sim/adapter.h"
#include "tools/outlook-sim/addins.h"

namespace outlook_sim {

AddInRibbon::AddInRibbon(IUnknown* addin) {
    if (!addin) return;
    if (FAILED(addin->QueryInterface(iid_ribbon_extensibility, reinterpret_cast<void**>(extensibility_.put()))))
        return;
    // The callbacks are members of whatever the ribbon interface's object answers as IDispatch.
    extensibility_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(dispatch_.put()));
}

std::u16string AddInRibbon::GetCustomUI(std::u16string_view ribbon_id) {
    host::com::Bstr id(ribbon_id), xml;
    HRESULT hr = extensibility_->GetCustomUI(id.get(), xml.put());
    if (FAILED(hr)) throw failure_of(hr);
    return xml.str();
}

DISPID AddInRibbon::id_of(std::u16string_view name) {
    std::u16string key(name);
    if (auto it = ids_.find(key); it != ids_.end()) return it->second;
    std::wstring wide = host::com::to_wide(name);
    LPOLESTR names[] = {wide.data()};
    DISPID id = DISPID_UNKNOWN;
    if (!dispatch_ || FAILED(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
        throw sim::ScenarioError("the add-in's IDispatch has no member \"" + host::to_utf8(name) +
                                 "\", which its ribbon XML names as a callback");
    ids_.emplace(std::move(key), id);
    return id;
}

sim::RibbonInvoker AddInRibbon::invoker() {
    return [this](std::u16string_view name, std::vector<host::Variant>& args) -> host::Variant {
        const DISPID id = id_of(name);
        // Invoke takes the arguments last first.
        std::vector<host::com::ComVariant> values;
        for (auto it = args.rbegin(); it != args.rend(); ++it) values.push_back(com_value(*it));
        std::vector<VARIANT> raw;
        for (auto& v : values) raw.push_back(*v.get());
        DISPPARAMS params{raw.data(), nullptr, static_cast<UINT>(raw.size()), 0};
        host::com::ComVariant result;
        EXCEPINFO excep{};
        UINT bad_arg = 0;
        HRESULT hr = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, result.get(),
                                       &excep, &bad_arg);
        if (hr == DISP_E_EXCEPTION) throw host::com::failure_from_excepinfo(excep);
        if (FAILED(hr)) throw failure_of(hr);
        return host_value(*result.get());
    };
}

}  // namespace outlook_sim
