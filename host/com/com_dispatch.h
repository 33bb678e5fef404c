#pragma once
// ComDispatch: host::Object over an object's IDispatch, as late binding reaches it.
// Member ids are asked of GetIDsOfNames once per (type, member) in the process and kept;
// the type is the interface the object's type information describes. An object whose
// interface the caller knows is bound as a compiled caller binds it: name and member ids
// from the published interface, nothing asked of the object.
#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/com/com_ptr.h"
#include "host/com/com_variant.h"
#include "host/dispatch.h"

namespace host::com {

// A published dispatch interface: its name, its id and the ids of its members.
struct KnownInterface {
    std::u16string name;
    IID iid;
    std::vector<std::pair<std::u16string, DISPID>> members;
};

class ComDispatch final : public Dispatch {
public:
    explicit ComDispatch(com_ptr<IDispatch> dispatch, const KnownInterface* known = nullptr);

    std::u16string type_name() const override;
    Variant invoke(Invoke kind, std::u16string_view member, std::vector<Variant>& args) override;
    Subscription subscribe(std::u16string_view event, EventHandler handler) override;
    std::unique_ptr<Enumerator> enumerate() override;

    const com_ptr<IDispatch>& get() const { return d_; }

private:
    struct TypeInfo {
        std::u16string name;  // as the type information names the interface
        std::u16string key;   // the interface; empty when the object has no type information
    };
    const TypeInfo& type() const;
    DISPID dispid(std::u16string_view member);
    // IDispatch::Invoke; a failure reported through EXCEPINFO is raised, any other failed
    // result is returned.
    HRESULT call(DISPID id, WORD flags, DISPPARAMS& params, VARIANT* result);

    com_ptr<IDispatch> d_;
    const KnownInterface* known_;
    mutable std::unique_ptr<TypeInfo> type_;
    // Member ids of an object without type information, kept for this object only.
    std::unordered_map<std::u16string, DISPID> own_ids_;
};

// The host object of an IDispatch (a reference of its own); Nothing for null.
Object wrap(IDispatch* dispatch);
// The same for an object whose interface is `known` (which must outlive it).
Object wrap(IDispatch* dispatch, const KnownInterface& known);
// The IDispatch of a host object (a new reference); null for Nothing. Raises a type
// mismatch for an object that is not the host's.
com_ptr<IDispatch> interface_of(const Object& object);

}  // namespace host::com
