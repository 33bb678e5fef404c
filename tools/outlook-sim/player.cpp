#include "tools/outlook-sim/player.h"

#include <algorithm>
#include <fstream>
#include <functional>
#include <memory>

#include "host/com/hresult.h"
#include "host/com/safe_array.h"
#include "host/outlook.h"
#include "host/sim/sim_host.h"
#include "host/text.h"
#include "tools/outlook-sim/adapter.h"
#include "tools/outlook-sim/addins.h"
#include "tools/outlook-sim/classes.h"
#include "tools/outlook-sim/crash.h"
#include "tools/outlook-sim/processes.h"
#include "tools/outlook-sim/ribbon.h"
#include "tools/outlook-sim/screen.h"
#include "tools/outlook-sim/service.h"
#include "tools/quillamor-sim/unused.h"

namespace outlook_sim {

namespace {

using quillamor_sim::ScenarioFileError;

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
using quillamor_sim::Step;

// The command-bar button that opens the wizard.
constexpr std::u16string_view wizard_button = u"QuillamorWiz";

class Player {
public:
    Player(const quillamor_sim::Scenario& sc, std::wstring folder, PlayOptions options)
        : sc_(sc), folder_(std::move(folder)), options_(options) {}

    PlayResult run() {
        PlayResult result;
        try {
            host_.load_profile(sc_.profile);
            host_.add_answers(sc_.answers);
            host_.add_faults(sc_.faults);
            host_.world().log_calls = options_.calls;
            if (!options_.crash_member.empty())
                host_.on_call(options_.crash_member, options_.crash_occurrence, [] {
                    *static_cast<volatile int*>(nullptr) = 1;
                });
        } catch (const sim::ScenarioError& e) {  // the profile, answers or faults
            throw ScenarioFileError(e.what());
        }
        {
            ClassRegistrations classes(host_, host_.profile().redemption);
            ServiceLibrary service(host_.world(), folder_);
            ProcessRecorder processes(host_);
            processes_ = &processes;
            Screen screen(host_, [this](const std::string& what) { stop(what); });
            screen_ = &screen;
            on_host_call([&screen] { screen.host_call(); });
            on_scenario_error([this](const std::string& what) { stop(what); });

            for (size_t i = 0; i < sc_.steps.size() && !error_; ++i) {
                index_ = i + 1;
                timing_ = {{"step", index_}, {"do", sc_.steps[i].action}};
                write_so_far();
                now_at_step(static_cast<unsigned long>(index_));
                const double started = now_ms();
                try {
                    step(sc_.steps[i]);
                } catch (const sim::ScenarioError& e) {
                    stop(e.what());
                } catch (const ScenarioFileError& e) {
                    stop_file(e.what());
                } catch (const host::Failure& f) {
                    stop("a failure reached the host: " + host::to_utf8(f.description()));
                } catch (const std::exception& e) {
                    stop(e.what());
                }
                screen.pump();
                timing_["ms"] = now_ms() - started;
                timings_.push_back(std::move(timing_));
            }

            // The host releases the add-in; the add-in's windows go with it, which is not the
            // user's doing. Then the DLL is unloaded.
            screen.stop_recording();
            custom_.reset();
            ribbons_.clear();
            addins_.clear();
            screen.pump();
            CoFreeUnusedLibrariesEx(0, 0);
            on_host_call(nullptr);
            on_scenario_error(nullptr);
            screen_ = nullptr;
            processes_ = nullptr;
        }
        std::vector<nlohmann::json> events = host_.events();
        if (error_at_) events.resize(*error_at_);
        result.live_adapters = live_adapters();
        for (const auto& file : addin_files_)
            if (!file.empty() && GetModuleHandleW(file.c_str())) result.still_loaded.push_back(file);
        result.live_objects = host_.live_objects();
        if (!error_)
            for (auto& e : quillamor_sim::unused_events(sc_, host_)) events.push_back(std::move(e));
        events.push_back(host_.world().end_event(result.live_adapters));
        if (options_.write && written_ < events.size())
            options_.write(std::span<const nlohmann::json>(events).subspan(written_));
        result.events = std::move(events);
        result.error = error_;
        result.timings = std::move(timings_);
        return result;
    }

private:
    // What the steps before this one recorded is final: out it goes.
    void write_so_far() {
        if (!options_.write || error_) return;
        const auto& events = host_.events();
        if (written_ < events.size()) options_.write(std::span<const nlohmann::json>(events).subspan(written_));
        written_ = events.size();
    }

    // The scenario cannot go on: the play ends after this step, and what the add-in does
    // while it unwinds is not recorded.
    void stop(const std::string& what) {
        if (error_) return;
        error_ = "step " + std::to_string(index_) + ": " + what;
        error_at_ = host_.events().size();
    }
    void stop_file(const std::string& what) {
        if (error_) return;
        error_ = what;
        error_at_ = host_.events().size();
    }

    [[noreturn]] void wrong(const std::string& what) const {
        throw ScenarioFileError("step " + std::to_string(index_) + ": " + what);
    }

    // The custom array of the add-in interface's calls: empty, as the host passes it.
    SAFEARRAY** custom() {
        if (!custom_.get()) custom_ = host::com::SafeArray::of_variants(0);
        custom_pointer_ = custom_.get();
        return &custom_pointer_;
    }

    void connected() const {
        if (addins_.empty()) wrong("the add-in is not connected (no \"connect\" step before)");
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

    void step(const Step& s) {
        const std::string& a = s.action;
        if (a == "connect") {
            if (!addins_.empty()) wrong("the add-in is connected already");
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
                app = dispatch_of(host_.create_application());
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
        } else if (a == "startupComplete") {
            connected();
            host_call("OnStartupComplete", [&](IDTExtensibility2& x) { return x.OnStartupComplete(custom()); });
        } else if (a == "newExplorer") {
            host_.new_explorer();
            show_ribbons();
        } else if (a == "disconnect") {
            connected();
            host_call("OnDisconnection", [&](IDTExtensibility2& x) { return x.OnDisconnection(ext_dm_UserClosed, custom()); });
            // The host lets go of the add-in, and the add-in's windows go with it.
            screen_->stop_recording();
            ribbons_.clear();
            addins_.clear();
            screen_->pump();
            screen_->resume_recording();
        } else if (a == "quickList") {
            run_through_wizard(false, {});
        } else if (a == "customList") {
            run_through_wizard(true, host::from_utf8(s.name));
        } else if (a == "click") {
            connected();
            try {
                host_.click_button(host::from_utf8(s.tag));
            } catch (const host::Failure& f) {
                // The add-in's handler failed back to the host, which shows nothing.
                record_result("Click", f);
            }
        } else if (a == "ribbon") {
            connected();
            auto [ribbon, button] = ribbon_button(s.label, s.tab);
            if (!button) wrong("no ribbon button labelled \"" + s.label + "\"" + (s.tab.empty() ? "" : " on " + s.tab));
            ribbon->ribbon->press(*button, ribbon->com.invoker());
        } else {
            user_step(s);
        }
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

    const wizard::FormDesign& form_with(const Step& s) {
        const wizard::FormDesign* d = Screen::design(s.form);
        if (!d) wrong("unknown form \"" + s.form + "\"");
        if (!s.control.empty()) {
            bool found = false;
            for (const auto& c : d->controls) found = found || c.name == host::from_utf8(s.control);
            if (!found) wrong("form " + s.form + " has no control \"" + s.control + "\"");
        }
        return *d;
    }

    void user_step(const Step& s) {
        Screen& screen = *screen_;
        const wizard::FormDesign& d = form_with(s);
        // A person can only act on a page that is on the screen.
        HWND page = screen.page(s.form);
        if (!page) return;
        const std::string& a = s.action;
        const std::u16string control = host::from_utf8(s.control);
        if (a == "press") screen.press(page, d, control);
        else if (a == "type") screen.type(page, d, control, host::from_utf8(s.text));
        else if (a == "focus") screen.focus(page, d, control);
        else if (a == "key") screen.key(page, s.key);
        else if (a == "move") screen.move(page, s.left, s.top);
        else if (a == "close") screen.close(page);
    }

    // The direct runs, played as a person reaches them: the wizard button, the welcome page's
    // Next, the work type (and for the custom run the list name), then Next from a page
    // dragged to the screen's corner, so that the remembered wizard position the run finds
    // is (0, 0), as a fresh add-in has it. The walk's own page changes stay out of the
    // transcript; see Screen::begin_walk.
    void run_through_wizard(bool custom_run, const std::u16string& name) {
        connected();
        Screen& screen = *screen_;
        struct WalkEnd {
            Screen& s;
            ~WalkEnd() { s.end_walk(); }
        } end{screen};
        screen.begin_walk(custom_run ? "frmTitle" : "");
        const auto& choose = *Screen::design("frmChoose");
        const auto& title = *Screen::design("frmTitle");

        if (!custom_run) {
            HWND page = open_choose();
            screen.press(page, choose, u"optQuick");
            press_next(page, choose);
            return;
        }
        HWND page = screen.page("frmTitle");
        if (!page) {
            HWND from = open_choose();
            screen.press(from, choose, u"optDist");
            screen.press(from, choose, u"cmdOk");
            screen.pump();
            page = screen.page("frmTitle");
            if (!page) wrong("the wizard did not open frmTitle");
        }
        screen.type(page, title, u"txtSubject", name);
        if (!IsWindowEnabled(screen.control(page, title, u"cmdOk")))
            wrong("an empty list name cannot be played through the wizard (its Next is disabled)");
        press_next(page, title);
    }

    HWND open_choose() {
        Screen& screen = *screen_;
        if (HWND page = screen.page("frmChoose")) return page;
        if (!screen.page("frmStartUp")) {
            if (auto [ribbon, button] = ribbon_button("Quillamor Wizard", ""); button)
                ribbon->ribbon->act(*button, ribbon->com.invoker());
            else if (!host_.click_button(wizard_button))
                wrong("the wizard cannot be opened: its button is not there");
            screen.pump();
        }
        HWND start = screen.page("frmStartUp");
        if (!start) wrong("the wizard button did not open frmStartUp");
        screen.press(start, *Screen::design("frmStartUp"), u"cmdStart");
        screen.pump();
        HWND page = screen.page("frmChoose");
        if (!page) wrong("the wizard did not open frmChoose");
        return page;
    }

    void press_next(HWND page, const wizard::FormDesign& d) {
        Screen& screen = *screen_;
        screen.move(page, 0, 0);
        screen.pump();
        screen.final_press();
        const double started = now_ms();
        screen.press(page, d, u"cmdOk");
        timing_["run"] = now_ms() - started;
    }

    const quillamor_sim::Scenario& sc_;
    std::wstring folder_;
    PlayOptions options_;
    sim::SimHost host_;
    Screen* screen_ = nullptr;
    ProcessRecorder* processes_ = nullptr;
    std::vector<AddIn> addins_;
    std::vector<std::unique_ptr<LoadedRibbon>> ribbons_;
    std::vector<std::wstring> addin_files_;  // the add-ins' DLLs, as loaded
    host::com::SafeArray custom_;
    SAFEARRAY* custom_pointer_ = nullptr;
    size_t index_ = 0;
    size_t written_ = 0;  // events handed to options_.write
    std::optional<std::string> error_;
    std::optional<size_t> error_at_;
    nlohmann::json timing_;                            // of the step being played
    nlohmann::json timings_ = nlohmann::json::array();
};

}  // namespace

PlayResult play(const quillamor_sim::Scenario& scenario, const std::wstring& program_folder,
                const PlayOptions& options) {
    Player p(scenario, program_folder, options);
    return p.run();
}

}  // namespace outlook_sim
