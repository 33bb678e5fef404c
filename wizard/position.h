#pragma once
// The remembered wizard position: where the user last saw the wizard, carried from one page
// to the next across unloaded pages and the runs. Twips; (0, 0) when the add-in loads.
#include <cstdint>

namespace wizard {

class Form;

struct WizardPosition {
    int32_t left = 0;
    int32_t top = 0;

    // Reads the page's top, then its left, rounds each half to even and writes top, then left.
    void store(Form& page);
    // Sets the page's left, then its top (loading the page if it is not loaded).
    void place(Form& page) const;
    void reset() { left = top = 0; }
};

}  // namespace wizard
