// The adapter layer of outlook-sim under Wine: the substitute host's objects reached through
// real IDispatch the way the add-in reaches the mail host (host/com's late binding): member
// ids asked once per type and member, gets, puts, calls, enumeration, failures with their
// numbers, objects that come back in arguments, events through connection points, and every
// COM object gone once released.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/com/com_dispatch.h"
#include "host/com/com_variant.h"
#include "host/text.h"
#include "sim/model/sim_object.h"
#include "sim/sim_host.h"
#include "tools/outlook-sim/adapter.h"

namespace {

// Runs `body`, which must fail; gives the failure (number 0 when nothing failed).
template <class F>
host::Failure failure_of(F&& body) {
    try {
        body();
    } catch (const host::Failure& f) {
        return f;
    }
    return host::Failure(0, u"nothing failed");
}

const char* profile_json = R"({
  "folders": [
    {"name": "Contacts", "defaultFor": "contacts", "itemType": 2, "items": [
      {"class": 40, "FullName": "Ann Lee", "Email1Address": "ann@acme.example", "Categories": ["VIP"]},
      {"class": 40, "FullName": "Bob Stone", "Email1Address": "bob@acme.example"}],
     "folders": [{"name": "Clients", "itemType": 2, "items": []}]},
    {"name": "Inbox", "defaultFor": "inbox", "itemType": 0, "items": []}]})";

// The application as the add-in gets it: a COM object reached by late binding.
host::Object application(sim::SimHost& host) {
    return host::com::wrap(outlook_sim::dispatch_of(host.application()).get());
}

int64_t ids_asked(const char16_t* type, const char16_t* member) {
    auto& ids = outlook_sim::call_counts().ids;
    auto it = ids.find({type, member});
    return it == ids.end() ? 0 : it->second;
}

TEST(Adapter, MembersByLateBinding) {
    sim::SimHost host;
    host.load_profile(nlohmann::json::parse(profile_json));
    host::Object app = application(host);
    EXPECT_EQ(app.type_name(), u"Application");

    host::Object ns = app.call(u"GetNamespace", u"MAPI").as_object();
    host::Object contacts = ns.call(u"GetDefaultFolder", int32_t{10}).as_object();
    EXPECT_EQ(contacts.get(u"Name").as_text(), u"Contacts");
    EXPECT_EQ(contacts.get(u"DefaultItemType").as_int32(), 2);

    // Another object of the same type: its member id comes from the client's cache.
    host::Object clients = contacts.get(u"Folders").as_object().call(u"Item", int32_t{1}).as_object();
    EXPECT_EQ(clients.get(u"Name").as_text(), u"Clients");
    EXPECT_EQ(ids_asked(u"MAPIFolder", u"name"), 1);
    EXPECT_EQ((outlook_sim::call_counts().invokes[{u"MAPIFolder", u"name"}]), 2);

    // _NewEnum walks the collection, each member an object of its own.
    std::vector<std::u16string> names;
    auto e = contacts.get(u"Items").as_object().dispatch()->enumerate();
    while (auto v = e->next()) names.push_back(v->as_object().get(u"FullName").as_text());
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Ann Lee", u"Bob Stone"}));

    // A put: the value goes as the named argument DISPID_PROPERTYPUT.
    host::Object ann = contacts.get(u"Items").as_object().call(u"Item", int32_t{1}).as_object();
    ann.put(u"Categories", host::Variant(u"Business"));
    EXPECT_EQ(ann.get(u"Categories").as_text(), u"Business");
}

TEST(Adapter, FailuresAndRawDispatch) {
    sim::SimHost host;
    host.load_profile(nlohmann::json::parse(profile_json));
    host.fail(u"GetDefaultFolder", 2);
    host::Object app = application(host);
    host::Object ns = app.call(u"GetNamespace", u"MAPI").as_object();
    ns.call(u"GetDefaultFolder", int32_t{6});

    // An injected fault comes back through EXCEPINFO with the host's number and text.
    host::Failure f = failure_of([&] { ns.call(u"GetDefaultFolder", int32_t{10}); });
    EXPECT_EQ(f.number(), static_cast<int32_t>(E_FAIL));
    EXPECT_NE(f.description().find(u"injected fault"), std::u16string::npos);

    // A run-time error number travels as 0x800A0000 + n and comes back as n.
    f = failure_of([&] { ns.call(u"GetDefaultFolder"); });
    EXPECT_EQ(f.number(), 449);

    // A member the object does not have.
    f = failure_of([&] { ns.call(u"NoSuchMember"); });
    EXPECT_EQ(f.number(), host::errors::member_not_found);

    // Automation's rules for Invoke, seen from a raw client.
    auto d = outlook_sim::dispatch_of(host.application());
    wchar_t name[] = L"Explorers";
    LPOLESTR names[] = {name};
    DISPID id = 0;
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
    wchar_t unknown[] = L"NoSuchMember";
    LPOLESTR unknown_names[] = {unknown};
    DISPID none = 0;
    EXPECT_EQ(d->GetIDsOfNames(IID_NULL, unknown_names, 1, LOCALE_USER_DEFAULT, &none), DISP_E_UNKNOWNNAME);
    EXPECT_EQ(none, DISPID_UNKNOWN);
    host::com::ComVariant value;
    DISPPARAMS put{value.get(), nullptr, 1, 0};
    EXPECT_EQ(d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &put, nullptr, nullptr, nullptr),
              DISP_E_PARAMNOTFOUND);
    EXPECT_EQ(d->Invoke(987654, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &put, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
    host::com::com_ptr<IConnectionPointContainer> points;
    EXPECT_EQ(d->QueryInterface(IID_IConnectionPointContainer, points.put_void()), S_OK);
    host::com::com_ptr<IConnectionPoint> point;
    EXPECT_EQ(points->FindConnectionPoint(IID_IDispatch, point.put()), CONNECT_E_NOCONNECTION);
}

TEST(Adapter, ObjectsKeepTheirIdentity) {
    sim::SimHost host;
    host.load_profile(nlohmann::json::parse(profile_json));
    host::Object folder = host.application().call(u"GetNamespace", u"MAPI").as_object().call(
        u"GetDefaultFolder", int32_t{10}).as_object();
    // An object that goes out to COM and comes back is the substitute host's object again.
    host::Variant back = outlook_sim::host_value(*outlook_sim::com_value(host::Variant(folder)).get());
    EXPECT_EQ(sim::sim_object(back.as_object()), sim::sim_object(folder));

    // ... also as an argument the add-in passes to another host object.
    host::Object app = application(host);
    host::Object item = app.call(u"GetNamespace", u"MAPI").as_object().call(u"GetDefaultFolder", int32_t{10})
                            .as_object().get(u"Items").as_object().call(u"Item", int32_t{2}).as_object();
    host::Object safe = host::com::wrap(outlook_sim::dispatch_of(host.create_object(u"Redemption.SafeContactItem")).get());
    safe.put(u"Item", host::Variant(item));
    EXPECT_EQ(safe.get(u"Item").as_object().get(u"FullName").as_text(), u"Bob Stone");
    bool passed_as_host_object = false;
    for (const auto& e : host.events())
        if (e.value("event", "") == "call" && e.value("member", "") == "Item" && e.value("kind", "") == "put")
            passed_as_host_object = e["args"][0] == nlohmann::json{{"object", "ContactItem"}};
    EXPECT_TRUE(passed_as_host_object);
}

TEST(Adapter, EventsThroughConnectionPoints) {
    sim::SimHost host;
    host.load_profile(nlohmann::json::parse(R"({"folders": [], "explorer": false})"));
    host::Object app = application(host);
    host::Object explorers = app.get(u"Explorers").as_object();
    std::vector<std::u16string> seen;
    host::Subscription link = explorers.subscribe(u"NewExplorer", [&](std::vector<host::Variant>& args) {
        seen.push_back(args.size() == 1 ? args[0].as_object().type_name() : u"wrong arguments");
    });
    host.new_explorer();
    EXPECT_EQ(seen, std::vector<std::u16string>{u"Explorer"});
    link = {};
    host.new_explorer();
    EXPECT_EQ(seen.size(), 1u);

    // A command-bar button's Click: the control, then the cancel-default flag by reference.
    host::Object bar = app.call(u"ActiveExplorer").as_object().get(u"CommandBars").as_object().call(u"Item", u"Standard").as_object();
    host::Object button = bar.get(u"Controls").as_object().call(u"Add", int32_t{1}).as_object();
    button.put(u"Tag", host::Variant(u"Mine"));
    std::vector<std::string> clicks;
    host::Subscription click = button.subscribe(u"Click", [&](std::vector<host::Variant>& args) {
        clicks.push_back(host::to_utf8(args.at(0).as_object().get(u"Tag").as_text()) + "/" +
                         (args.at(1).as_bool() ? "true" : "false"));
        args[1] = host::Variant::boolean(true);
    });
    EXPECT_TRUE(host.click_button(u"Mine"));
    EXPECT_EQ(clicks, std::vector<std::string>{"Mine/false"});

    // A failing handler's failure comes back out to the host.
    host::Subscription failing = button.subscribe(u"Click", [](std::vector<host::Variant>&) {
        host::raise(5, u"Invalid procedure call or argument");
    });
    host::Failure f = failure_of([&] { host.click_button(u"Mine"); });
    EXPECT_EQ(f.number(), 5);
}

}  // namespace
