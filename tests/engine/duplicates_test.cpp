// The duplicate test answered from the run's own record gives the lists a walk of the
// scratch mail's recipients gives: checked on generated profiles against a model of the
// fill that walks its member texts, with shared, repeated and case-different addresses,
// addresses with a space (each compared whole), blank names and contacts met twice.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "engine/custom_list.h"
#include "engine/messages.h"
#include "engine/quick_list.h"
#include "engine_fixture.h"
#include "host/text.h"
#include "sim/model/restrict.h"

namespace engine_test {
namespace {

struct Contact {
    std::u16string full_name, company, e1, e2, e3;
    std::vector<std::u16string> categories;
};

// A profile of `contacts` contacts spread over the default Contacts folder, two direct
// subfolders and one folder below those (which the quick run does not reach), with a
// distribution list now and then. The same seed gives the same profile.
struct Generated {
    sim::Profile profile = sim::default_profile();
    std::shared_ptr<sim::Folder> root, clients, suppliers;

    Generated(uint32_t seed, int contacts) {
        // Which addresses go in is the question here, not how many one list holds.
        profile.list_limit_bytes = 0;
        root = profile.contacts();
        clients = folder(root, u"Clients");
        suppliers = folder(root, u"Suppliers");
        auto archive = folder(clients, u"Archive");
        std::mt19937 rng(seed);
        auto below = [&rng](uint32_t n) { return static_cast<uint32_t>(rng() % n); };
        // Few enough addresses that many are shared; some differ from another only in case,
        // some hold a space, some are not set.
        auto address = [&]() -> std::u16string {
            uint32_t pick = below(100);
            std::u16string n = host::decimal(static_cast<int32_t>(below(static_cast<uint32_t>(contacts))));
            if (pick < 15) return u"";
            if (pick < 25) return u"Person" + n + u"@Example.org";
            if (pick < 28) return u"person " + n + u"@example.org";
            return u"person" + n + u"@example.org";
        };
        const char16_t* names[] = {u"Business", u"VIP", u"Personal"};
        for (int i = 0; i < contacts; ++i) {
            Contact c;
            uint32_t naming = below(10);
            c.full_name = naming == 0 ? u"" : u"Contact " + host::decimal(i);
            c.company = naming == 0 && below(2) == 0 ? u"" : u"Company " + host::decimal(i % 7);
            c.e1 = address();
            c.e2 = below(10) == 0 ? c.e1 : address();
            c.e3 = below(10) == 0 ? c.e2 : address();
            for (const char16_t* name : names)
                if (below(100) < 45) c.categories.push_back(name);
            auto& where = below(100) < 60 ? root : below(3) == 0 ? clients : below(2) == 0 ? suppliers : archive;
            where->items.push_back(item(c));
            if (i % 40 == 39) {
                auto list = std::make_shared<sim::Item>();
                list->current.cls = 69;
                list->current.categories = u"Business";
                root->items.push_back(list);
            }
        }
    }

    static std::shared_ptr<sim::Folder> folder(const std::shared_ptr<sim::Folder>& parent, std::u16string name) {
        auto f = std::make_shared<sim::Folder>();
        f->name = std::move(name);
        f->item_type = 2;
        parent->folders.push_back(f);
        return f;
    }

    static std::shared_ptr<sim::Item> item(const Contact& c) {
        auto item = std::make_shared<sim::Item>();
        auto& f = item->current.fields;
        f[u"FullName"] = c.full_name;
        f[u"CompanyName"] = c.company;
        f[u"Email1Address"] = c.e1;
        f[u"Email2Address"] = c.e2;
        f[u"Email3Address"] = c.e3;
        for (const auto& name : c.categories)
            item->current.categories += (item->current.categories.empty() ? u"" : u", ") + name;
        return item;
    }
};

// The fill as a walk of the member texts gives it: the folders' contacts of each category
// in turn, each address tested against the whole address of every member so far (an address
// with a space is no exception).
struct Walk {
    std::vector<std::u16string> members;
    std::vector<std::u16string> addresses;
    int32_t matches = 0;  // items of the categories, contacts or not: the bar's maximum less one
    int32_t contacts = 0;

    Walk(const std::vector<std::shared_ptr<sim::Folder>>& folders, const std::vector<std::u16string>& categories,
         bool every_address) {
        for (const auto& category : categories)
            for (const auto& folder : folders)
                for (const auto& item : folder->items) {
                    if (!carries(*item, category)) continue;
                    ++matches;
                    if (item->current.cls == 40) meet(*item, every_address);
                }
    }

    static bool carries(const sim::Item& item, const std::u16string& category) {
        return sim::categories_match(item.current.categories, category, sim::CategoryReading::value, u",");
    }

    bool present(const std::u16string& address) const {
        return std::find(addresses.begin(), addresses.end(), address) != addresses.end();
    }

    void meet(const sim::Item& item, bool every_address) {
        auto field_of = [&](const char16_t* name) {
            auto it = item.current.fields.find(std::u16string(name));
            return it == item.current.fields.end() ? std::u16string() : it->second;
        };
        ++contacts;
        std::u16string display = field_of(u"FullName").empty() ? field_of(u"CompanyName") : field_of(u"FullName");
        bool added = false;
        for (const char16_t* field : {u"Email1Address", u"Email2Address", u"Email3Address"}) {
            const std::u16string address = field_of(field);
            bool first = field[5] == u'1';
            if (address.empty() || present(address) || (!first && added && !every_address)) continue;
            members.push_back(display + u" " + address);
            addresses.push_back(address);
            added = true;
        }
    }
};

class DuplicatesTest : public EngineTest {
protected:
    void load(const Generated& g) {
        host.set_profile(g.profile);
        host.world().log_calls = false;  // thousands of contacts: the effects are enough here
    }
    Strings texts(const std::vector<std::u16string>& members) {
        Strings out;
        for (const auto& m : members) out.push_back(utf8(m));
        return out;
    }
    // Every contact moves the bar on by one, up to its maximum.
    std::vector<double> bar(const Walk& w) {
        std::vector<double> out;
        for (int32_t k = 0; k < w.contacts; ++k) out.push_back(std::min(k, w.matches + 1));
        return out;
    }
};

TEST_F(DuplicatesTest, TheQuickRunFillsAsTheWalkDoes) {
    const std::vector<std::u16string> categories = {u"Business", u"VIP"};
    for (uint32_t seed : {1u, 2u, 3u}) {
        for (bool every_address : {true, false}) {
            SCOPED_TRACE("seed " + std::to_string(seed) + (every_address ? ", every address" : ", one address"));
            Generated g(seed, 1000);
            Walk walk({g.root, g.clients, g.suppliers}, categories, every_address);
            host.world().clear_events();
            load(g);
            host.answer_categories(u"Business, VIP");
            host.answer_msgbox(!every_address);
            engine::MakeQuickList(s());
            EXPECT_EQ(saved_members(), texts(walk.members));
            EXPECT_EQ(progress_values(), bar(walk));
            EXPECT_EQ(messages(), (Strings{utf8(engine::text::one_email_question), utf8(engine::text::quick_thanks)}));
            expect_nothing_alive();
        }
    }
}

TEST_F(DuplicatesTest, TheCustomRunFillsAsTheWalkDoes) {
    Generated g(7, 1000);
    Walk walk({g.clients}, {u"Business", u"Personal"}, true);
    load(g);
    host.answer_pick_folder(u"Contacts/Clients");
    host.answer_categories(u"Business, Personal");
    host.answer_msgbox(false);
    forms().frmTitle.set_subject(u"Clients");
    engine::MakeCustomList(s());
    EXPECT_EQ(saved_members(), texts(walk.members));
    EXPECT_EQ(progress_values(), bar(walk));
    expect_nothing_alive();
}

}  // namespace
}  // namespace engine_test
