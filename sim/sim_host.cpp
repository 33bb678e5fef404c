// SimHost: the environment of the add-in over the substitute host.
#include "sim/sim_host.h"

#include <cstdint>

#include "host/service_library.h"
#include "sim/picture.h"
#include "host/text.h"
#include "sim/liborvane-stub/liborvane_stub.h"
#include "sim/library_loader.h"
#include "sim/model/command_bars.h"
#include "sim/model/interactive.h"
#include "sim/model/objects.h"
#include "sim/model/sim_object.h"
#include "sim/profile/profile_json.h"

#ifndef QUILLAMOR_SERVICE_STUB_DIR
#define QUILLAMOR_SERVICE_STUB_DIR "."
#endif

namespace sim {

namespace {

// The calls of the language runtime that reach outside: New, CreateObject, LoadPicture.
constexpr std::u16string_view runtime = u"Runtime";

// The service library stand-in reports its calls here; the sink outlives neither the library
// handle nor, through the weak reference, the world it records into.
struct ServiceSink {
    std::weak_ptr<World> world;
};

void on_service_call(void* context, const LibOrvaneStubCall* call) {
    auto world = static_cast<ServiceSink*>(context)->world.lock();
    if (!world) return;
    world->service_calls.push_back(
        {call->name, call->result, call->module, call->arg2, call->app, call->config, call->arg5});
    world->record({{"event", "service"}, {"call", call->name}, {"result", call->result}});
    if (std::string_view(call->name) == "LibOrvaneInit") world->service_init_answered();
}

class ServiceLibrary : public host::Library {
public:
    ServiceLibrary(std::unique_ptr<host::Library> lib, LibOrvaneStubConfigureFn configure,
                   std::shared_ptr<World> world)
        : lib_(std::move(lib)), configure_(configure), sink_(std::make_unique<ServiceSink>()) {
        sink_->world = world;
    }
    ~ServiceLibrary() override { configure_(0, nullptr, nullptr); }

    // The stand-in is configured again right before each call is made through an entry point
    // found here, so that it answers this host's current profile.
    void* entry(const char* name) override {
        void* p = lib_->entry(name);
        if (p) {
            auto world = sink_->world.lock();
            configure_(world ? world->profile.service_init_result : 0, &on_service_call, sink_.get());
        }
        return p;
    }

private:
    std::unique_ptr<host::Library> lib_;
    LibOrvaneStubConfigureFn configure_;
    std::unique_ptr<ServiceSink> sink_;
};

// The name of a message box's button by the number that the box returns.
std::u16string button_name(int32_t result) {
    switch (result) {
    case host::vbOK: return u"OK";
    case host::vbCancel: return u"Cancel";
    case host::vbYes: return u"Yes";
    case host::vbNo: return u"No";
    default: return host::decimal(result);
    }
}

}  // namespace

void* sim_module_handle() { return reinterpret_cast<void*>(static_cast<uintptr_t>(0x51A00000)); }

SimHost::SimHost() : world_(std::make_shared<World>()), views_(world_), library_dir_(QUILLAMOR_SERVICE_STUB_DIR) {}

SimHost::~SimHost() = default;

bool SimHost::click_button(std::u16string_view tag) { return click_command_bar_button(world_, tag); }

void SimHost::load_profile(const Json& profile) { world_->set_profile(profile_from_json(profile)); }

void SimHost::set_profile(Profile profile) { world_->set_profile(std::move(profile)); }

void SimHost::add_answers(const Json& answers) {
    for (auto& a : answers_from_json(answers)) world_->add_answer(std::move(a));
}

void SimHost::add_faults(const Json& faults) {
    for (auto& f : faults_from_json(faults)) world_->add_fault(std::move(f));
}

void SimHost::answer_categories(std::optional<std::u16string> selection) {
    world_->add_answer({AnswerKind::Categories, std::move(selection)});
}

void SimHost::answer_pick_folder(std::optional<std::u16string> path) {
    world_->add_answer({AnswerKind::PickFolder, std::move(path)});
}

void SimHost::answer_msgbox(bool yes) { world_->add_answer({AnswerKind::MsgBox, yes ? u"Yes" : u"No"}); }

void SimHost::fail(std::u16string member, int64_t occurrence, std::u16string object) {
    world_->add_fault({std::move(member), occurrence, std::move(object)});
}

void SimHost::on_call(std::u16string member, int64_t occurrence, std::function<void()> action,
                      std::u16string object) {
    world_->add_hook(std::move(member), occurrence, std::move(action), std::move(object));
}

void SimHost::new_explorer() { open_explorer(world_); }

void SimHost::close_explorer() {
    if (auto window = world_->explorers.active) sim::close_explorer(*world_, window);
}

std::vector<Json> SimHost::effects() const {
    std::vector<Json> out;
    for (const auto& e : world_->events())
        if (e.value("event", "") != "call") out.push_back(e);
    return out;
}

std::vector<std::string> SimHost::call_names() const {
    std::vector<std::string> out;
    for (const auto& e : world_->events())
        if (e.value("event", "") == "call")
            out.push_back(e["object"].get<std::string>() + "." + e["member"].get<std::string>());
    return out;
}

host::Object SimHost::application() { return make_application(world_); }

host::Object SimHost::create_application() {
    std::vector<host::Variant> args{host::Variant(u"Outlook.Application")};
    world_->enter(runtime, host::Invoke::Call, u"New", args);
    host::Object app = make_application(world_);
    sim_object(app)->distrust();
    return app;
}

host::Object SimHost::create_object(std::u16string_view progid) {
    std::vector<host::Variant> args{host::Variant(progid)};
    world_->enter(runtime, host::Invoke::Call, u"CreateObject", args);
    bool redemption = progid.size() > 11 && host::equal_ignoring_case(progid.substr(0, 11), u"Redemption.");
    bool browser = host::equal_ignoring_case(progid, u"InternetExplorer.Application");
    host::Object o;
    if ((!redemption || world_->profile.redemption) && (!browser || world_->profile.internet_explorer))
        o = create_by_progid(world_, progid);
    if (!o)
        throw host::cannot_create_object(progid, u"CreateObject");
    return o;
}

int32_t SimHost::message_box(std::u16string_view text, int32_t style, std::u16string_view title) {
    int32_t buttons = style & 15;
    std::u16string answer;
    int32_t result = host::vbOK;
    if (world_->interactive) {
        result = world_->interactive->msgbox(text, style, title);
        answer = button_name(result);
    } else if (buttons == host::vbOKOnly) {
        answer = u"OK";
    } else if (buttons == host::vbYesNo || buttons == host::vbYesNoCancel) {
        answer = *world_->take_answer(AnswerKind::MsgBox).value;
        if (answer == u"Cancel" && buttons != host::vbYesNoCancel)
            throw ScenarioError("the answer Cancel was given to a message box without a Cancel button");
        result = answer == u"Yes" ? host::vbYes : answer == u"No" ? host::vbNo : host::vbCancel;
    } else {
        throw ScenarioError("a message box with buttons style " + std::to_string(buttons) +
                            " opened; answers can only say Yes or No");
    }
    world_->record({{"event", "msgbox"},
                    {"text", utf8(text)},
                    {"style", style},
                    {"title", utf8(title)},
                    {"answer", utf8(answer)}});
    return result;
}

void SimHost::start_process(std::u16string_view command_line) {
    world_->record({{"event", "process"}, {"commandLine", utf8(command_line)}});
}

void SimHost::open_address(std::u16string_view address) {
    std::vector<host::Variant> args{host::Variant(address)};
    world_->enter(runtime, host::Invoke::Call, u"ShellExecute", args);
    world_->record({{"event", "shell"}, {"address", utf8(address)}});
}

void SimHost::copy_button_face(const host::Object& picture, uint32_t) {
    // The platform's own checks, in its order: no picture, not a bitmap, no bitmap handle.
    if (!picture || picture.get(u"Type").as_int32() != picture_bitmap || picture.get(u"Handle").as_double() == 0)
        host::raise(host::errors::invalid_picture);
    for (std::string_view format : {dib_format, face_format, mask_format}) store(world_->clipboard, format);
}

host::Object SimHost::load_picture(std::u16string_view path) {
    std::vector<host::Variant> args{host::Variant(path)};
    world_->enter(runtime, host::Invoke::Call, u"LoadPicture", args);
    if (!world_->profile.picture) host::raise(host::errors::file_not_found, u"File not found: " + std::u16string(path));
#ifdef _WIN32
    // Windows has the real graphics functions and no stand-in to load into.
    return host::Environment::load_picture(path);
#else
    // The install folder holds the same files as the fixed one, whose names the loader knows.
    const std::u16string& folder = world_->profile.install_folder;
    if (!folder.empty() && path.size() > folder.size() &&
        host::equal_ignoring_case(path.substr(0, folder.size()), folder))
        return load_picture_file(std::u16string(fixed_install_folder) + std::u16string(path.substr(folder.size())));
    return load_picture_file(path);
#endif
}

std::optional<std::u16string> SimHost::installed_file(std::u16string_view name) {
    if (world_->profile.install_folder.empty()) return std::nullopt;
    return world_->profile.install_folder + std::u16string(name);
}

std::optional<std::u16string> SimHost::list_separator() { return world_->profile.list_separator; }

std::u16string SimHost::windows_folder() { return world_->profile.windows_folder; }

std::unique_ptr<host::Library> SimHost::load_library(std::u16string_view file) {
    if (!host::equal_ignoring_case(file, host::service_library_file) || !world_->profile.service_present)
        return nullptr;
    std::string path = library_dir_ + "/" + utf8(host::service_library_file);
    auto lib = open_library(path);
    if (!lib) throw ScenarioError("the service library stand-in cannot be loaded from " + path);
    auto configure = reinterpret_cast<LibOrvaneStubConfigureFn>(lib->entry(LIBORVANE_STUB_CONFIGURE));
    if (!configure) throw ScenarioError(path + " is not the service library stand-in");
    return std::make_unique<ServiceLibrary>(std::move(lib), configure, world_);
}

void* SimHost::module_handle() { return sim_module_handle(); }

std::string SimHost::module_resource(std::u16string_view name) {
    struct Resource {
        std::u16string_view name;
        std::string_view data;
    };
    static constexpr Resource resources[] = {
#include "module_resources.inc"
    };
    std::vector<host::Variant> args{host::Variant(name)};
    world_->enter(runtime, host::Invoke::Call, u"LoadResData", args);
    for (const auto& r : resources)
        if (host::equal_ignoring_case(r.name, name)) return std::string(r.data);
    return host::Environment::module_resource(name);
}

void* SimHost::raw_interface(const host::Object& o) { return o.dispatch(); }

void SimHost::log_failure(const host::Failure& failure, host::Shown shown) noexcept {
    if (!world_->log_failures) return;
    try {
        world_->record({{"event", "log"},
                        {"member", failure.member().empty() ? "Quillamor" : utf8(failure.member())},
                        {"number", failure.number()},
                        {"shown", shown == host::Shown::yes}});
    } catch (...) {
        // The log never disturbs what it records.
    }
}

void SimHost::failure_reached_top(const host::Failure& failure) {
    world_->record({{"event", "failure"}, {"number", failure.number()}, {"description", utf8(failure.description())}});
}

}  // namespace sim
