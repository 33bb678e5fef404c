#include "tools/outlook-sim/player.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>

#include "addin/commands.h"
#include "host/com/bstr.h"
#include "host/com/hresult.h"
#include "host/com/safe_array.h"
#include "host/outlook.h"
#include "host/text.h"
#include "scenario/driver.h"
#include "scenario/play.h"
#include "sim/sim_host.h"
#include "tools/outlook-sim/adapter.h"
#include "tools/outlook-sim/addins.h"
#include "tools/outlook-sim/classes.h"
#include "tools/outlook-sim/clipboard.h"
#include "tools/outlook-sim/crash.h"
#include "tools/outlook-sim/input.h"
#include "tools/outlook-sim/processes.h"
#include "tools/outlook-sim/ribbon.h"
#include "tools/outlook-sim/screen.h"
#include "tools/outlook-sim/service.h"
#include "wizard/form_designs.h"

namespace outlook_sim {

namespace {

namespace sc = scenario;
using sc::Unplayable;

// Milliseconds since some fixed moment, to the microsecond.
double now_ms() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency);
}

// The command-bar button that opens the wizard.
constexpr std::u16string_view wizard_button = addin::toolbar_command.tag;

const wizard::FormDesign& design(std::u16string_view form) { return *wizard::form_design(form); }

// The profile's list separator as the user's, where the add-in reads it from Windows. Windows
// keeps it in the user's registry (HKCU\Control Panel\International, sList), so every play
// sets it, the default "," included, and none inherits an earlier play's.
void use_list_separator(const std::u16string& separator) {
    if (!SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, host::com::to_wide(separator).c_str()))
        throw Unplayable("the list separator \"" + host::to_utf8(separator) + "\" cannot be set for the user");
}

// The mail host over COM, with the add-ins it finds in the registry, and the user on their
// real windows.
class ComHostDriver : public sc::HostDriver {
public:
    ComHostDriver(const sc::Scenario& scenario, std::wstring folder, PlayOptions options)
        : folder_(std::move(folder)), options_(std::move(options)) {
        sc::load_into(host_, scenario);
        use_list_separator(host_.profile().list_separator);
        host_.world().log_calls = options_.calls;
        host_.world().read_clipboard = read_system_clipboard;
        if (!options_.crash_member.empty())
            host_.on_call(options_.crash_member, options_.crash_occurrence, [] { *static_cast<volatile int*>(nullptr) = 1; });
        classes_ = std::make_unique<ClassRegistrations>(host_, host_.profile().redemption);
        service_ = std::make_unique<ServiceLibrary>(host_.world(), folder_);
        processes_ = std::make_unique<ProcessRecorder>(host_);
        screen_ = std::make_unique<Screen>(host_, [this](const std::string& what) { met(what); });
        on_host_call([this] { screen_->host_call(); });
        on_scenario_error([this](const std::string& what) { met(what); });
    }

    ~ComHostDriver() override {
        on_host_call(nullptr);
        on_scenario_error(nullptr);
    }

    // ---------------------------------------------------------------- around the steps

    void begin_step(size_t number, const sc::Step& step) override {
        timing_ = {{"step", number}, {"do", std::string(sc::kind_of(step))}};
        write_so_far();
        now_at_step(static_cast<unsigned long>(number));
        started_ = now_ms();
    }

    void end_step() override {
        input::pump();
        timing_["ms"] = now_ms() - started_;
        timings_.push_back(std::move(timing_));
    }

    std::optional<std::string> take_error() override { return std::exchange(met_, std::nullopt); }

    // What the add-in records while it unwinds after the error is not the scenario's.
    void stopping() override {
        if (!error_at_) error_at_ = host_.events().size();
    }

    // The host releases the add-in; the add-in's windows go with it, which is not the user's
    // doing. Then the DLL is unloaded.
    void release() override {
        screen_->stop_recording();
        custom_.reset();
        ribbons_.clear();
        addins_.clear();
        input::pump();
        CoFreeUnusedLibrariesEx(0, 0);
        on_host_call(nullptr);
        on_scenario_error(nullptr);
        screen_.reset();
        processes_.reset();
        service_.reset();
        classes_.reset();
    }

    const sim::SimHost& host() const override { return host_; }
    void record(nlohmann::json event) override { own_events_.push_back(std::move(event)); }
    int64_t live_objects() override { return live_adapters(); }

    PlayResult result(std::optional<std::string> error) {
        PlayResult result;
        std::vector<nlohmann::json> events = host_.events();
        if (error_at_) events.resize(*error_at_);
        for (auto& e : own_events_) events.push_back(std::move(e));
        result.live_adapters = live_adapters();
        for (const auto& file : addin_files_)
            if (!file.empty() && GetModuleHandleW(file.c_str())) result.still_loaded.push_back(file);
        result.live_objects = host_.live_objects();
        if (options_.write && written_ < events.size())
            options_.write(std::span<const nlohmann::json>(events).subspan(written_));
        result.events = std::move(events);
        result.error = std::move(error);
        result.timings = std::move(timings_);
        return result;
    }

    // ---------------------------------------------------------------- the host's steps

    void play(const sc::Connect&) override {
        if (!addins_.empty()) throw sc::connected_already();
        double started = now_ms();
        addins_ = create_addins({.major_version = host::MajorVersion(host_.profile().version),
                                 .require_signed = options_.require_signed});
        timing_["create"] = now_ms() - started;
        for (auto& x : addins_) {
            processes_->watch(x.object.get());
            addin_files_.push_back(module_file(module_of(x.object.get())));
        }
        host::com::com_ptr<IDispatch> app;
        try {
            app = dispatch_of(host_.application());
        } catch (const host::Failure& f) {
            record_result("OnConnection", f);
            return;
        }
        started = now_ms();
        auto failed = host_call("OnConnection", [&](IDTExtensibility2& x) {
            return x.OnConnection(app.get(), ext_cm_Startup, nullptr, custom());
        });
        timing_["onConnection"] = now_ms() - started;
        load_ribbons(failed);
    }

    void play(const sc::StartupComplete&) override {
        connected();
        host_call("OnStartupComplete", [&](IDTExtensibility2& x) { return x.OnStartupComplete(custom()); });
    }

    void play(const sc::NewExplorer&) override {
        host_.new_explorer();
        show_ribbons();
    }

    void play(const sc::Disconnect&) override {
        connected();
        host_call("OnDisconnection", [&](IDTExtensibility2& x) { return x.OnDisconnection(ext_dm_UserClosed, custom()); });
        // The host lets go of the add-in, and the add-in's windows go with it.
        screen_->stop_recording();
        ribbons_.clear();
        addins_.clear();
        input::pump();
        screen_->resume_recording();
    }

    void play(const sc::QuickList&) override { run_through_wizard(false, {}); }
    void play(const sc::CustomList& s) override { run_through_wizard(true, host::from_utf8(s.name)); }

    void play(const sc::Click& s) override {
        connected();
        try {
            host_.click_button(host::from_utf8(s.tag));
        } catch (const host::Failure& f) {
            // The add-in's handler failed back to the host, which shows nothing.
            record_result("Click", f);
        }
    }

    void play(const sc::RibbonPress& s) override {
        connected();
        auto [ribbon, button] = ribbon_button(s.label, s.tab);
        if (!button) throw sc::no_ribbon_button(s);
        ribbon->ribbon->press(*button, ribbon->com.invoker(), sc::explorer_window(host_, s.window));
    }

    // ---------------------------------------------------------------- the user's steps

    void play(const sc::Press& s, const wizard::FormDesign& d) override {
        if (HWND page = shown(d)) input::press(page, d, host::from_utf8(s.control));
    }
    void play(const sc::Type& s, const wizard::FormDesign& d) override {
        if (HWND page = shown(d)) input::type(page, d, host::from_utf8(s.control), host::from_utf8(s.text));
    }
    void play(const sc::Focus& s, const wizard::FormDesign& d) override {
        if (HWND page = shown(d)) input::focus(page, d, host::from_utf8(s.control));
    }
    void play(const sc::Key& s, const wizard::FormDesign& d) override {
        if (HWND page = shown(d)) input::key(page, s.key);
    }
    void play(const sc::Move& s, const wizard::FormDesign& d) override {
        if (HWND page = shown(d)) input::move(page, s.left, s.top);
    }
    void play(const sc::Close&, const wizard::FormDesign& d) override {
        if (HWND page = shown(d)) input::close(page);
    }

    // ---------------------------------------------------------------- the store

    // The add-in saved through COM into the same store the native host keeps.
    void play(const sc::CheckList& s) override { sc::check_list(host_.profile(), s); }
    void play(const sc::Select& s) override { sc::select_items(host_, s); }
    void play(const sc::Activate& s) override { sc::activate(host_, s); }

private:
    // An error met beside the step's own calls; the first one stops the play.
    void met(const std::string& what) {
        if (error_at_) return;
        met_ = what;
        error_at_ = host_.events().size();
    }

    // What the steps before this one recorded is final: out it goes.
    void write_so_far() {
        if (!options_.write || error_at_) return;
        const auto& events = host_.events();
        if (written_ < events.size()) options_.write(std::span<const nlohmann::json>(events).subspan(written_));
        written_ = events.size();
    }

    // A person can only act on a page that is on the screen: its window, or null.
    HWND shown(const wizard::FormDesign& d) const { return screen_->page(host::to_utf8(d.name)); }

    // The custom array of the add-in interface's calls: empty, as the host passes it.
    SAFEARRAY** custom() {
        if (!custom_.get()) custom_ = host::com::SafeArray::of_variants(0);
        custom_pointer_ = custom_.get();
        return &custom_pointer_;
    }

    void connected() const {
        if (addins_.empty()) throw sc::not_connected();
    }

    // A call of the host into the add-ins: a failure goes back to the host as its result.
    // The add-ins whose call failed.
    std::vector<IDTExtensibility2*> host_call(const char* name, const std::function<HRESULT(IDTExtensibility2&)>& call) {
        std::vector<IDTExtensibility2*> failed;
        for (auto& a : addins_) {
            HRESULT hr = call(*a.object.get());
            if (FAILED(hr)) {
                record_result(name, failure_of(hr));
                failed.push_back(a.object.get());
            }
        }
        return failed;
    }

    void record_result(const char* name, const host::Failure& f) {
        host_.record({{"event", "result"}, {"call", name}, {"number", f.number()},
                      {"description", host::to_utf8(f.description())}});
    }

    // An add-in's ribbon as the host holds it.
    struct LoadedRibbon {
        explicit LoadedRibbon(IUnknown* addin) : com(addin) {}
        AddInRibbon com;
        std::optional<sim::Ribbon> ribbon;
    };

    // A ribbon host asks each add-in that offers the ribbon interface for the explorer's
    // ribbon right after its connection, and shows it once an explorer window is there. An
    // add-in whose connection failed is not loaded: the host asks it for nothing.
    void load_ribbons(const std::vector<IDTExtensibility2*>& not_connected) {
        if (!host_.profile().ribbon()) return;
        for (auto& a : addins_) {
            if (std::find(not_connected.begin(), not_connected.end(), a.object.get()) != not_connected.end()) continue;
            auto loaded = std::make_unique<LoadedRibbon>(a.object.get());
            if (!loaded->com.offered()) continue;
            std::u16string xml;
            try {
                xml = loaded->com.GetCustomUI(sim::explorer_ribbon);
            } catch (const host::Failure& f) {
                record_result("GetCustomUI", f);
                continue;
            }
            if (!options_.ribbon_xml.empty())
                std::ofstream(std::filesystem::path(options_.ribbon_xml), std::ios::binary) << host::to_utf8(xml);
            loaded->ribbon.emplace(host_.world_ptr(), xml);
            ribbons_.push_back(std::move(loaded));
        }
        show_ribbons();
    }

    void show_ribbons() {
        if (host_.world().explorers.open.empty()) return;
        for (auto& r : ribbons_) r->ribbon->show(r->com.invoker());
    }

    std::pair<LoadedRibbon*, const sim::RibbonButton*> ribbon_button(const std::string& label, const std::string& tab) {
        for (auto& r : ribbons_)
            if (r->ribbon->shown())
                if (auto* b = r->ribbon->find(host::from_utf8(label), host::from_utf8(tab))) return {r.get(), b};
        return {nullptr, nullptr};
    }

    // The direct runs, played as a person reaches them: the wizard button, the welcome page's
    // Next, the work type (and for the custom run the list name), then Next from a page
    // dragged to the screen's corner, so that the remembered wizard position the run finds
    // is (0, 0), as a fresh add-in has it. The walk's own page changes stay out of the
    // transcript (walk_filter.h).
    void run_through_wizard(bool custom_run, const std::u16string& name) {
        connected();
        Screen& screen = *screen_;
        struct WalkEnd {
            Screen& s;
            ~WalkEnd() { s.end_walk(); }
        } end{screen};
        screen.begin_walk(custom_run ? "frmTitle" : "");
        const auto& choose = design(u"frmChoose");
        const auto& title = design(u"frmTitle");

        if (!custom_run) {
            HWND page = open_choose();
            input::press(page, choose, u"optQuick");
            press_next(page, choose);
            return;
        }
        HWND page = screen.page("frmTitle");
        if (!page) {
            HWND from = open_choose();
            input::press(from, choose, u"optDist");
            input::press(from, choose, u"cmdOk");
            input::pump();
            page = screen.page("frmTitle");
            if (!page) throw Unplayable("the wizard did not open frmTitle");
        }
        input::type(page, title, u"txtSubject", name);
        if (!IsWindowEnabled(input::control(page, title, u"cmdOk")))
            throw Unplayable("an empty list name cannot be played through the wizard (its Next is disabled)");
        press_next(page, title);
    }

    HWND open_choose() {
        Screen& screen = *screen_;
        if (HWND page = screen.page("frmChoose")) return page;
        if (!screen.page("frmStartUp")) {
            if (auto [ribbon, button] = ribbon_button("Quillamor Wizard", ""); button)
                ribbon->ribbon->act(*button, ribbon->com.invoker());
            else if (!host_.click_button(wizard_button))
                throw Unplayable("the wizard cannot be opened: its button is not there");
            input::pump();
        }
        HWND start = screen.page("frmStartUp");
        if (!start) throw Unplayable("the wizard button did not open frmStartUp");
        input::press(start, design(u"frmStartUp"), u"cmdStart");
        input::pump();
        HWND page = screen.page("frmChoose");
        if (!page) throw Unplayable("the wizard did not open frmChoose");
        return page;
    }

    void press_next(HWND page, const wizard::FormDesign& d) {
        Screen& screen = *screen_;
        input::move(page, 0, 0);
        input::pump();
        screen.final_press();
        const double started = now_ms();
        input::press(page, d, u"cmdOk");
        timing_["run"] = now_ms() - started;
    }

    std::wstring folder_;
    PlayOptions options_;
    sim::SimHost host_;
    // What the machine has while the host runs, in the order it is set up.
    std::unique_ptr<ClassRegistrations> classes_;
    std::unique_ptr<ServiceLibrary> service_;
    std::unique_ptr<ProcessRecorder> processes_;
    std::unique_ptr<Screen> screen_;
    std::vector<AddIn> addins_;
    std::vector<std::unique_ptr<LoadedRibbon>> ribbons_;
    std::vector<std::wstring> addin_files_;  // the add-ins' DLLs, as loaded
    host::com::SafeArray custom_;
    SAFEARRAY* custom_pointer_ = nullptr;
    size_t written_ = 0;  // events handed to options_.write
    std::optional<std::string> met_;
    std::optional<size_t> error_at_;  // where the scenario's events end, once the play stopped
    std::vector<nlohmann::json> own_events_;  // the play's: unused, end
    nlohmann::json timing_;                   // of the step being played
    double started_ = 0;
    nlohmann::json timings_ = nlohmann::json::array();
};

}  // namespace

PlayResult play(const scenario::Scenario& scenario, const std::wstring& program_folder, const PlayOptions& options) {
    ComHostDriver driver(scenario, program_folder, options);
    std::optional<std::string> error = scenario::play(scenario, driver);
    return driver.result(std::move(error));
}

}  // namespace outlook_sim
