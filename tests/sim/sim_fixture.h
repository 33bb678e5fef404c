#pragma once
// A substitute host with a small profile, for the tests of the substitute host itself.
#include <gtest/gtest.h>

#include "host/outlook.h"
#include "host/text.h"
#include "sim/sim_host.h"

namespace sim_test {

using sim::Json;

// Contacts (Ann: Business, VIP; Bob: Personal; a list: Business; Cy: vip) with the
// subfolder Clients (Dee: Business), and an Inbox.
inline Json small_profile() {
    return Json::parse(R"({
      "folders": [
        {"name": "Contacts", "defaultFor": "contacts", "itemType": 2,
         "items": [
           {"class": 40, "FullName": "Ann Lee", "Email1Address": "ann@acme.example", "Categories": ["Business", "VIP"]},
           {"class": 40, "FullName": "Bob Ray", "Email1Address": "bob@home.example", "Categories": ["Personal"]},
           {"class": 69, "Subject": "Old team", "Categories": ["Business"]},
           {"class": 40, "FullName": "Cy Orr", "CompanyName": "Orr Ltd", "Categories": ["vip"]}
         ],
         "folders": [{"name": "Clients", "items": [
           {"class": 40, "FullName": "Dee Fox", "Email2Address": "dee@fox.example", "Categories": ["Business"]}]}]},
        {"name": "Inbox", "defaultFor": "inbox", "itemType": 0, "items": []}
      ]})");
}

class SimTest : public ::testing::Test {
protected:
    void SetUp() override { host.load_profile(small_profile()); }

    host::Application app() { return host::Application(host.application()); }
    host::MAPIFolder contacts() { return app().GetNamespace(u"MAPI").GetDefaultFolder(host::olFolderContacts); }

    // The events of one kind, in order.
    std::vector<Json> events(const std::string& kind) const {
        std::vector<Json> out;
        for (const auto& e : host.events())
            if (e["event"] == kind) out.push_back(e);
        return out;
    }

    sim::SimHost host;
};

inline std::u16string u(const char* s) { return host::from_utf8(s); }

}  // namespace sim_test
