#pragma once
// What a list run is given: the outside world, the host's Application object, the counters
// it keeps from one run to the next, and the windows it drives. The engine knows no form: the
// wizard implements RunWindows over its pages and hands the runs a RunContext.
#include <cstdint>
#include <string>

#include "host/environment.h"
#include "host/outlook.h"

namespace engine {

// The windows of a run, in the order the runs reach them. A failure of any of them is a host
// failure, which the run handles as it handles a failing host call.
class RunWindows {
public:
    virtual ~RunWindows() = default;

    // Before the fill, when there is nothing to fill from: back to a page.
    // The work type page, placed at the wizard's remembered position and shown (the quick
    // run, when no category was picked).
    virtual void back_to_work_type() = 0;
    // The name page, given the remembered top, then left, then shown; a step that fails is
    // passed over, so the user gets back to the page even then (the custom run, after a
    // folder message).
    virtual void back_to_name_page_at_position() = 0;
    // The name page, shown where it stands (the custom run, when no category was picked).
    virtual void back_to_name_page() = 0;

    // The progress window while the run fills the list: its bar's maximum and value.
    virtual void show_progress() = 0;
    virtual void set_progress_max(float max) = 0;
    virtual void refresh_progress() = 0;
    virtual float progress_max() = 0;
    virtual void set_progress_value(float value) = 0;
    virtual void unload_progress() = 0;

    // After the fill: the list name as the name page's box holds it, emptied once the custom
    // list is saved, and the closing page.
    virtual std::u16string list_name() = 0;
    virtual void clear_list_name() = 0;
    virtual void show_done() = 0;
};

class RunContext {
public:
    RunContext(host::Environment& environment, RunWindows& run_windows)
        : env(environment), windows(run_windows) {}
    RunContext(const RunContext&) = delete;
    RunContext& operator=(const RunContext&) = delete;

    // The Application the host handed the add-in at its connection. Every call the add-in
    // makes starts from it: the host trusts that object and what is reached from it, and only
    // those (an Application the add-in made itself would have every protected read prompted
    // or refused). Before the connection there is none, and asking for it fails.
    const host::Application& application() const {
        if (!application_) host::raise(host::errors::object_not_set, u"Object variable or With block variable not set");
        return application_;
    }
    void set_application(const host::Object& application) { application_ = host::Application(application); }
    // Drops the Application reference (when the host releases the add-in).
    void release_application() { application_.reset(); }

    host::Environment& env;
    RunWindows& windows;

    // Each run sets these before use; between runs they keep the last run's values.
    // ItemTotal: 1 plus the matching items counted; the progress bar's maximum.
    int32_t ItemTotal = 0;
    // ProgressCount: the contacts the fill has handled so far.
    int32_t ProgressCount = 0;
    // AllEmails: True when every address of a contact goes into the list, False for one.
    host::Bool16 AllEmails = host::False;
    // The separator between the names of a Categories text, found with the run's categories
    // (CategorySeparator); an item's own categories are split at it.
    std::u16string separator = u",";

private:
    host::Application application_;
};

}  // namespace engine
