#pragma once
// SimHost: the substitute host as the add-in's environment. It plays the mail host and the
// libraries around it in memory, answers every modal dialog from a script, records what a
// person would see into one ordered event log, and can be told to fail any host call.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/environment.h"
#include "sim/model/model.h"
#include "sim/model/world.h"
#include "sim/views/sim_views.h"

namespace sim {

class SimHost : public host::Environment {
public:
    // A host with a fresh profile: an empty default Contacts folder and an explorer window.
    SimHost();
    ~SimHost() override;
    SimHost(const SimHost&) = delete;
    SimHost& operator=(const SimHost&) = delete;

    // --- set-up (before the add-in gets any object); malformed input is a ScenarioError
    void load_profile(const Json& profile);
    void set_profile(Profile profile);
    void add_answers(const Json& answers);
    void add_faults(const Json& faults);
    void answer_categories(std::optional<std::u16string> selection);
    void answer_pick_folder(std::optional<std::u16string> path);
    void answer_msgbox(bool yes);
    void fail(std::u16string member, int64_t occurrence, std::u16string object = {});
    // A person answers the dialogs and message boxes as they open instead of the scripted
    // answers (null: back to the script). The provider must outlive its use.
    void set_interactive(AnswerProvider* provider) { world_->interactive = provider; }
    // Runs `action` when that call of `member` happens, before it runs: for changing the
    // profile between two passes of a run.
    void on_call(std::u16string member, int64_t occurrence, std::function<void()> action,
                 std::u16string object = {});
    // Where the service library stand-in is loaded from (default: where the build put it).
    void set_library_dir(std::string dir) { library_dir_ = std::move(dir); }

    // --- the model, for tests that look into the store or change it
    Profile& profile() { return world_->profile; }
    World& world() { return *world_; }
    const World& world() const { return *world_; }
    const std::shared_ptr<World>& world_ptr() const { return world_; }
    // An explorer window opens: NewExplorer fires, then it becomes the active one.
    void new_explorer();
    // The active explorer window closes.
    void close_explorer();
    // The user clicks the visible command-bar button with this tag in the active explorer
    // window: its Click event fires, and a failure of a handler comes out here; a button whose
    // Enabled is False takes the click and nothing fires. False when there is no such
    // button, and nothing happens. (Defined with the command bars.)
    bool click_button(std::u16string_view tag);

    // --- what happened
    const std::vector<Json>& events() const { return world_->events(); }
    // The events without the call log.
    std::vector<Json> effects() const;
    // The call log as "Type.Member" texts, in order. Creating the application, creating an
    // object by ProgID and loading a picture appear as calls of the "Runtime" object's New,
    // CreateObject and LoadPicture, and can be failed like any call.
    std::vector<std::string> call_names() const;
    void record(Json event) { world_->record(std::move(event)); }
    int64_t live_objects() const { return world_->live_objects(); }
    size_t answers_left() const { return world_->answers_left(); }
    std::vector<size_t> unfired_faults() const { return world_->unfired_faults(); }
    const std::vector<ServiceCall>& service_calls() const { return world_->service_calls; }

    // The form views of this host, for the add-in's forms.
    SimViews& views() { return views_; }

    // The host's own Application, the one it hands an add-in at its connection: trusted from
    // version 11 on, as is everything reached from it.
    host::Object application();
    // An Application made from outside the host, as CoCreateInstance or CreateObject make one
    // (recorded as the "Runtime" object's New): the host trusts neither it nor anything
    // reached from it.
    host::Object create_application();

    // --- host::Environment
    host::Object create_object(std::u16string_view progid) override;
    int32_t message_box(std::u16string_view text, int32_t style, std::u16string_view title) override;
    void start_process(std::u16string_view command_line) override;
    // Recorded as a "shell" event; a fault on "ShellExecute" fails it.
    void open_address(std::u16string_view address) override;
    // Stores the three formats of a button face, without their bytes, on the host's
    // clipboard, where PasteFace finds them; rejects a picture as the platform does.
    void copy_button_face(const host::Object& picture, uint32_t mask_colour) override;
    // The picture file is missing when the profile says so; otherwise the native picture
    // loader loads it.
    host::Object load_picture(std::u16string_view path) override;
    // In the profile's install folder, when it names one; else nothing, and the add-in falls
    // back to the fixed path.
    std::optional<std::u16string> installed_file(std::u16string_view name) override;
    // The profile's "listSeparator".
    std::optional<std::u16string> list_separator() override;
    // The profile's "windowsFolder".
    std::u16string windows_folder() override;
    std::unique_ptr<host::Library> load_library(std::u16string_view file) override;
    void* module_handle() override;
    // The add-in's resources, from the files that the Windows build puts into the DLL.
    std::string module_resource(std::u16string_view name) override;
    void* raw_interface(const host::Object& o) override;
    void failure_reached_top(const host::Failure& failure) override;
    // A "log" event (member, number, shown) when the world records them: what the Windows
    // build writes to its log file, without the time and versions.
    void log_failure(const host::Failure& failure, host::Shown shown) noexcept override;

private:
    std::shared_ptr<World> world_;
    SimViews views_;
    std::string library_dir_;
};

// The module handle the substitute host gives the add-in.
void* sim_module_handle();

}  // namespace sim
