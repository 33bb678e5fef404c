#include "host/com/com_dispatch.h"

#include "host/com/bstr.h"
#include "host/com/convert.h"
#include "host/com/event_sink.h"
#include "host/com/hresult.h"
#include "host/text.h"

namespace host::com {

namespace {

// Member ids by (interface, member), for the whole process. Member names compare without
// regard to case, as GetIDsOfNames compares them.
std::unordered_map<std::u16string, DISPID>& dispid_cache() {
    static std::unordered_map<std::u16string, DISPID> cache;
    return cache;
}

std::u16string guid_key(const GUID& g) {
    const auto* p = reinterpret_cast<const unsigned char*>(&g);
    std::u16string out;
    for (size_t i = 0; i < sizeof g; i += 2) out += static_cast<char16_t>(p[i] | (p[i + 1] << 8));
    return out;
}

class ComEnumerator final : public Enumerator {
public:
    explicit ComEnumerator(com_ptr<IEnumVARIANT> e) : e_(std::move(e)) {}
    std::optional<Variant> next() override {
        ComVariant v;
        ULONG fetched = 0;
        HRESULT hr = check(e_->Next(1, v.put(), &fetched));
        if (hr != S_OK || fetched == 0) return std::nullopt;
        return to_host(*v.get());
    }

private:
    com_ptr<IEnumVARIANT> e_;
};

}  // namespace

ComDispatch::ComDispatch(com_ptr<IDispatch> dispatch, const KnownInterface* known)
    : d_(std::move(dispatch)), known_(known) {}

const ComDispatch::TypeInfo& ComDispatch::type() const {
    if (type_) return *type_;
    auto info = std::make_unique<TypeInfo>();
    if (known_) {
        info->name = known_->name;
        info->key = guid_key(known_->iid) + known_->name;
        type_ = std::move(info);
        return *type_;
    }
    UINT count = 0;
    com_ptr<ITypeInfo> ti;
    if (SUCCEEDED(d_->GetTypeInfoCount(&count)) && count > 0 &&
        SUCCEEDED(d_->GetTypeInfo(0, LOCALE_USER_DEFAULT, ti.put())) && ti) {
        Bstr name;
        if (SUCCEEDED(ti->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr)))
            info->name = name.str();
        // The interface id and the name together: type information made at run time may
        // carry no id of its own.
        TYPEATTR* attr = nullptr;
        if (SUCCEEDED(ti->GetTypeAttr(&attr)) && attr) {
            info->key = guid_key(attr->guid) + info->name;
            ti->ReleaseTypeAttr(attr);
        }
    }
    // A dual interface's name starts with "_"; the user knows the object by the rest.
    if (!info->name.empty() && info->name[0] == u'_') info->name.erase(0, 1);
    if (info->name.empty()) info->name = u"Object";
    type_ = std::move(info);
    return *type_;
}

std::u16string ComDispatch::type_name() const { return type().name; }

DISPID ComDispatch::dispid(std::u16string_view member) {
    std::u16string name = folded(member);
    if (known_)
        for (const auto& [known_name, id] : known_->members)
            if (folded(known_name) == name) return id;
    const std::u16string& key = type().key;
    auto& cache = key.empty() ? own_ids_ : dispid_cache();
    std::u16string entry = key.empty() ? name : key + u'|' + name;
    if (auto it = cache.find(entry); it != cache.end()) return it->second;

    std::wstring wide = to_wide(member);
    LPOLESTR names[] = {wide.data()};
    DISPID id = DISPID_UNKNOWN;
    HRESULT hr = d_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    if (hr == DISP_E_UNKNOWNNAME || hr == DISP_E_MEMBERNOTFOUND) raise(errors::member_not_found);
    check(hr);
    cache.emplace(std::move(entry), id);
    return id;
}

HRESULT ComDispatch::call(DISPID id, WORD flags, DISPPARAMS& params, VARIANT* result) {
    EXCEPINFO info{};
    UINT bad_arg = 0;
    HRESULT hr = d_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &info, &bad_arg);
    if (hr == DISP_E_EXCEPTION) throw failure_from_excepinfo(info);
    return hr;
}

Variant ComDispatch::invoke(Invoke kind, std::u16string_view member, std::vector<Variant>& args) {
    DISPID id = dispid(member);
    // Arguments go right to left, as IDispatch::Invoke takes them.
    std::vector<ComVariant> reversed;
    reversed.reserve(args.size());
    for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(to_com(*it));
    DISPPARAMS params{reinterpret_cast<VARIANT*>(reversed.data()), nullptr,
                      static_cast<UINT>(reversed.size()), 0};

    if (kind == Invoke::Put) {
        // The value is the named argument DISPID_PROPERTYPUT. An object is assigned by value
        // first; a property that only takes a reference answers "member not found" to that.
        DISPID put = DISPID_PROPERTYPUT;
        params.rgdispidNamedArgs = &put;
        params.cNamedArgs = 1;
        HRESULT hr = call(id, DISPATCH_PROPERTYPUT, params, nullptr);
        if (hr == DISP_E_MEMBERNOTFOUND && !args.empty() && args.back().is_object())
            hr = call(id, DISPATCH_PROPERTYPUTREF, params, nullptr);
        check(hr);
        return Variant();
    }
    ComVariant result;
    check(call(id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, params, result.get()));
    return to_host(*result.get());
}

Subscription ComDispatch::subscribe(std::u16string_view event, EventHandler handler) {
    const EventInterface* e = find_event(event);
    if (!e) raise(459, u"Object or class does not support the set of events");
    return connect_event(d_, *e, std::move(handler));
}

std::unique_ptr<Enumerator> ComDispatch::enumerate() {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    ComVariant result;
    check(call(DISPID_NEWENUM, DISPATCH_METHOD | DISPATCH_PROPERTYGET, none, result.get()));
    com_ptr<IUnknown> unknown;
    if (result.type() == VT_UNKNOWN || result.type() == VT_DISPATCH) unknown = com_ptr<IUnknown>(V_UNKNOWN(result.get()));
    if (!unknown) raise(errors::type_mismatch);
    return std::make_unique<ComEnumerator>(unknown.query<IEnumVARIANT>());
}

Object wrap(IDispatch* dispatch) {
    if (!dispatch) return Object();
    return Object(std::make_shared<ComDispatch>(com_ptr<IDispatch>(dispatch)));
}

Object wrap(IDispatch* dispatch, const KnownInterface& known) {
    if (!dispatch) return Object();
    return Object(std::make_shared<ComDispatch>(com_ptr<IDispatch>(dispatch), &known));
}

com_ptr<IDispatch> interface_of(const Object& object) {
    if (!object) return nullptr;
    auto* d = dynamic_cast<ComDispatch*>(object.dispatch());
    if (!d) raise(errors::type_mismatch);
    return d->get();
}

}  // namespace host::com
