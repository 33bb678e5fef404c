#include "tools/quillamor-sim/ribbon_callbacks.h"

#include <string>

#include "host/text.h"

namespace quillamor_sim {

sim::RibbonInvoker ribbon_callbacks(addin::Connect& c) {
    return [&c](std::u16string_view name, std::vector<host::Variant>& args) -> host::Variant {
        const host::Object control = args.empty() ? host::Object() : args[0].as_object();
        if (host::equal_ignoring_case(name, u"Ribbon_Load")) c.Ribbon_Load(control);
        else if (host::equal_ignoring_case(name, u"Ribbon_GetImage")) return host::Variant(c.Ribbon_GetImage(control));
        else if (host::equal_ignoring_case(name, u"Ribbon_Click")) c.Ribbon_Click(control);
        else if (host::equal_ignoring_case(name, u"Ribbon_GetEnabled")) return host::Variant::boolean(c.Ribbon_GetEnabled(control));
        else throw sim::ScenarioError("the add-in has no ribbon callback \"" + host::to_utf8(name) + "\"");
        return host::Variant();
    };
}

}  // namespace quillamor_sim
