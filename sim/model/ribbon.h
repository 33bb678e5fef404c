#pragma once
// The substitute host's ribbon: what the mail host does with an add-in's ribbon XML. It
// builds the explorer's ribbon from the XML the add-in returned, refusing XML it cannot build
// one from; calls the callbacks that the XML names, by name, through the caller's invoker
// (natively a table, over COM the add-in's IDispatch); and records what the user sees.
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/variant.h"
#include "sim/model/world.h"

namespace sim {

// The explorer's ribbon id, the one ribbon the substitute host asks add-ins for.
inline constexpr std::u16string_view explorer_ribbon = u"Microsoft.Outlook.Explorer";

struct RibbonButton {
    std::u16string tab;    // the tab's idMso (or id)
    std::u16string group;  // the group's label
    std::u16string id, label, size, tag;
    std::u16string on_action, get_image, get_enabled;  // callback names; empty when not given
};

// Calls the add-in's callback of that name with those arguments and gives its result; a
// failure the callback returns comes out as host::Failure.
using RibbonInvoker = std::function<host::Variant(std::u16string_view name, std::vector<host::Variant>& args)>;

class Ribbon {
public:
    // Reads the add-in's XML; ScenarioError when no ribbon can be built from it.
    Ribbon(std::shared_ptr<World> world, std::u16string_view xml);

    // The explorer window shows the ribbon: onLoad gets the ribbon object, getImage is asked
    // for each button's picture, then the "load" event is recorded. Once.
    void show(const RibbonInvoker& invoke);
    bool shown() const { return shown_; }

    // The first button with the label (on that tab, when one is given); null when none.
    const RibbonButton* find(std::u16string_view label, std::u16string_view tab = {}) const;
    // Each explorer window shows the ribbon with its own state, and the controls the callbacks
    // get name that window as their Context. `window` null: the active window.
    //
    // The user presses the button: the "press" event, then its onAction with its control. A
    // button that is disabled does nothing; its press is recorded as such.
    void press(const RibbonButton& button, const RibbonInvoker& invoke, std::shared_ptr<ExplorerWindow> window = {});
    // Its onAction alone (when enabled), for a walk whose own steps stay out of the transcript.
    void act(const RibbonButton& button, const RibbonInvoker& invoke, std::shared_ptr<ExplorerWindow> window = {});
    // Whether the button can be pressed in the window: what its getEnabled said there when
    // last asked, asked again when the add-in has invalidated it since, as the host does
    // before it draws the button.
    bool enabled(const RibbonButton& button, const RibbonInvoker& invoke, std::shared_ptr<ExplorerWindow> window = {});

    const std::vector<RibbonButton>& buttons() const { return buttons_; }

private:
    // Calls a callback; a failure is the callback's result to the host and is recorded.
    host::Variant call(const RibbonInvoker& invoke, std::u16string_view name, std::vector<host::Variant>& args);
    host::Object control(const RibbonButton& button, const std::shared_ptr<ExplorerWindow>& window) const;
    std::shared_ptr<ExplorerWindow> window_or_active(std::shared_ptr<ExplorerWindow> window) const;

    std::shared_ptr<World> world_;
    std::u16string on_load_;
    std::vector<RibbonButton> buttons_;
    // Per window and button: what getEnabled last said there, or nothing when it must be
    // asked (again). Shared with the ribbon object the add-in holds, whose Invalidate calls
    // clear it in every window, as one ribbon object stands for the ribbon of each window.
    using EnabledState = std::map<std::shared_ptr<ExplorerWindow>, std::vector<std::optional<bool>>>;
    std::shared_ptr<EnabledState> enabled_;
    bool shown_ = false;
};

}  // namespace sim
