#pragma once
// The designs of the add-in's five forms in one list, for what finds a form by its name or
// its caption: the scenario players and the test host that watches the real windows.
#include <string_view>
#include <vector>

#include "wizard/forms.h"

namespace wizard {

inline const std::vector<FormDesign>& form_designs() {
    static const std::vector<FormDesign> all = {design_frmStartUp(), design_frmChoose(), design_frmTitle(),
                                                design_frmDone(), design_frmPBar()};
    return all;
}

// The design of the form of that name; null when no form has it.
inline const FormDesign* form_design(std::u16string_view name) {
    for (const auto& d : form_designs())
        if (d.name == name) return &d;
    return nullptr;
}

}  // namespace wizard
