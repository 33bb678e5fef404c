#include "wizard/position.h"

#include <cmath>
#include <limits>

#include "host/failure.h"
#include "wizard/form.h"

namespace wizard {

namespace {
int32_t to_whole(float twips) {
    double r = std::nearbyint(static_cast<double>(twips));  // half to even
    if (!(r >= std::numeric_limits<int32_t>::min() && r <= std::numeric_limits<int32_t>::max()))
        host::raise_overflow();
    return static_cast<int32_t>(r);
}
}  // namespace

void WizardPosition::store(Form& page) {
    int32_t t = to_whole(page.top());
    int32_t l = to_whole(page.left());
    top = t;
    left = l;
}

void WizardPosition::place(Form& page) const {
    page.set_left(static_cast<float>(left));
    page.set_top(static_cast<float>(top));
}

}  // namespace wizard
