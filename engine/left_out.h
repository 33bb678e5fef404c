#pragma once
// What a run could not put into its list, and why. A run goes on past a contact it cannot
// read or a category it cannot search, so that one damaged item does not cost the whole list;
// this record is what lets it tell the user afterwards exactly who is missing.
#include <string>
#include <vector>

#include "host/failure.h"

namespace engine {

class LeftOut {
public:
    // A category whose contacts could not all be searched, in the folder of that name.
    struct Category {
        std::u16string name, folder;
    };

    // A contact, by its name (or company, or one of the stand-ins below), that lost a member
    // to the failure.
    void contact(std::u16string name, const host::Failure& why);
    void category(std::u16string name, std::u16string folder, const host::Failure& why);
    // A contact that is in the list, but under its Exchange address: the failure kept the
    // address from being looked up.
    void not_looked_up(std::u16string name, const host::Failure& why);

    bool empty() const { return contacts_.empty() && categories_.empty() && not_looked_up_.empty(); }
    const std::vector<std::u16string>& contacts() const { return contacts_; }
    const std::vector<Category>& categories() const { return categories_; }
    const std::vector<std::u16string>& not_looked_up() const { return not_looked_up_; }
    // The host's words of the first failure.
    const std::u16string& first_failure() const { return first_failure_; }

private:
    void failed(const host::Failure& why);

    std::vector<std::u16string> contacts_;
    std::vector<Category> categories_;
    std::vector<std::u16string> not_looked_up_;
    std::u16string first_failure_;  // never empty once a failure is recorded
};

}  // namespace engine
