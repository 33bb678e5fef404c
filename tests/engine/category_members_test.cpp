// Which contacts a run takes for a category, under every reading the host's filter may play
// and under two list separators: always exactly those whose own categories hold a picked one,
// whatever their names contain (blanks, "&", ":", "-", "(", or a phrase of another name).
#include <gtest/gtest.h>

#include <cctype>
#include <string>
#include <vector>

#include "engine/quick_list.h"
#include "engine_fixture.h"

namespace engine_test {
namespace {

// Names that a guessed separator or a phrase match would get wrong; "Kay" is in a subfolder.
constexpr const char* contacts_with_awkward_names = R"json({"folders": [
    {"name": "Contacts", "defaultFor": "contacts", "items": [
       {"FullName": "Ann", "Email1Address": "ann@x.example", "Categories": ["Partner"]},
       {"FullName": "Tom", "Email1Address": "tom@x.example", "Categories": ["Tier1 Partner"]},
       {"FullName": "Sue", "Email1Address": "sue@x.example", "Categories": ["Sales & Marketing", "VIP"]},
       {"FullName": "Sam", "Email1Address": "sam@x.example", "Categories": ["Sales"]},
       {"FullName": "Max", "Email1Address": "max@x.example", "Categories": ["Marketing"]},
       {"FullName": "Lea", "Email1Address": "lea@x.example", "Categories": ["Q1: Leads"]},
       {"FullName": "Leo", "Email1Address": "leo@x.example", "Categories": ["Leads", "partner"]},
       {"FullName": "Rob", "Email1Address": "rob@x.example", "Categories": ["R-D"]},
       {"FullName": "Cal", "Email1Address": "cal@x.example", "Categories": ["Clients (old)"]},
       {"FullName": "Cli", "Email1Address": "cli@x.example", "Categories": ["Clients"]}],
     "folders": [{"name": "Group", "items": [
       {"FullName": "Kay", "Email1Address": "kay@x.example", "Categories": ["Key Customer", "Sales & Marketing"]}]}]}]})json";

TEST(CategoryMembers, OwnCategoriesDecideUnderEveryReadingAndSeparator) {
    struct Case {
        std::vector<const char*> picked;
        std::vector<const char*> members;  // in the fill's order: category by category
    } cases[] = {
        {{"Partner"}, {"Ann", "Leo"}},
        {{"Sales & Marketing"}, {"Sue", "Kay"}},
        {{"Sales"}, {"Sam"}},
        {{"Q1: Leads"}, {"Lea"}},
        {{"Leads"}, {"Leo"}},
        {{"R-D"}, {"Rob"}},
        {{"Clients (old)"}, {"Cal"}},
        {{"Clients"}, {"Cli"}},
        {{"Key Customer"}, {"Kay"}},
        {{"Sales & Marketing", "Partner"}, {"Sue", "Kay", "Ann", "Leo"}},
        {{"VIP", "Tier1 Partner", "Marketing"}, {"Sue", "Tom", "Max"}},
    };
    for (const char* reading : {"phrase", "whole", "value"}) {
        for (const char* separator : {",", ";"}) {
            for (const auto& c : cases) {
                std::string selection;
                for (const char* name : c.picked) selection += (selection.empty() ? "" : std::string(separator) + " ") + name;
                SCOPED_TRACE(std::string(reading) + ", list separator \"" + separator + "\", picked \"" + selection + "\"");

                Json profile = Json::parse(contacts_with_awkward_names);
                profile["categoryFilter"] = reading;
                profile["listSeparator"] = separator;
                sim::SimHost host;
                host.load_profile(profile);
                host.answer_categories(u(selection.c_str()));
                host.answer_msgbox(true);
                auto state = connected_state(host, host.views());
                engine::MakeQuickList(*state);

                Strings expected;  // "Ann ann@x.example"
                for (std::string m : c.members) {
                    std::string address = m + "@x.example";
                    address[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(address[0])));
                    expected.push_back(m + " " + address);
                }
                Strings saved;
                for (const auto& e : host.events())
                    if (e["event"] == "saved") saved = e["members"].get<Strings>();
                EXPECT_EQ(saved, expected);
                // The bar's total counts exactly those contacts: nothing the filter adds or leaves out.
                EXPECT_EQ(state->ItemTotal, static_cast<int32_t>(c.members.size()) + 1);
            }
        }
    }
}

}  // namespace
}  // namespace engine_test
