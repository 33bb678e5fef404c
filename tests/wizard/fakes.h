#pragma once
// A small stand-in for the world around the wizard: an environment that records processes,
// created objects and message boxes, a browser object that records what it is told, and
// views that record what happens to the forms. Everything goes into one ordered log so that
// tests can check the order of steps across forms and the outside world.
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/dispatch.h"
#include "host/environment.h"
#include "host/failure.h"
#include "host/text.h"
#include "wizard/forms.h"
#include "wizard/wizard_context.h"

namespace wizard_test {

using Log = std::vector<std::string>;

inline std::string utf8(std::u16string_view s) { return host::to_utf8(s); }

inline std::string twips(float v) {
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return s;
}

// The browser automation object.
class FakeBrowser : public host::Dispatch {
public:
    FakeBrowser(Log& log, bool fail_navigate) : log_(log), fail_navigate_(fail_navigate) {}
    ~FakeBrowser() override { log_.push_back("browser released"); }

    std::u16string type_name() const override { return u"InternetExplorer"; }
    host::Variant invoke(host::Invoke kind, std::u16string_view member,
                         std::vector<host::Variant>& args) override {
        if (kind == host::Invoke::Call && member == u"Navigate" && args.size() == 1) {
            if (fail_navigate_) host::raise(-2147467259, u"Unspecified error");
            log_.push_back("browser Navigate " + utf8(args[0].as_text()));
            return {};
        }
        if (kind == host::Invoke::Put && member == u"Visible" && args.size() == 1 &&
            args[0].type() == host::Variant::Type::Bool) {
            log_.push_back(std::string("browser Visible ") + (args[0].as_bool() ? "True" : "False"));
            return {};
        }
        if (kind == host::Invoke::Call && member == u"Quit") {
            log_.push_back("browser Quit");
            return {};
        }
        host::raise(host::errors::member_not_found);
    }
    host::Subscription subscribe(std::u16string_view, host::EventHandler) override { return {}; }
    std::unique_ptr<host::Enumerator> enumerate() override { host::raise(host::errors::member_not_found); }

private:
    Log& log_;
    bool fail_navigate_;
};

class FakeEnv : public host::Environment {
public:
    explicit FakeEnv(Log& log) : log_(log) {}

    bool fail_process = false;
    bool fail_create = false;
    bool fail_navigate = false;
    bool fail_shell = false;
    std::string install_folder;  // where the add-in's files are; empty: beside it are none
    std::string windows = "c:\\windows";  // the Windows folder, as the system names it

    host::Object create_object(std::u16string_view progid) override {
        log_.push_back("create " + utf8(progid));
        if (fail_create) host::raise(429, u"ActiveX component can't create object");
        return host::Object(std::make_shared<FakeBrowser>(log_, fail_navigate));
    }
    int32_t message_box(std::u16string_view text, int32_t style, std::u16string_view title) override {
        log_.push_back("msgbox " + utf8(title) + " " + std::to_string(style) + " " + utf8(text));
        return host::vbOK;
    }
    void start_process(std::u16string_view command_line) override {
        if (fail_process) host::raise(53, u"File not found");
        log_.push_back("process " + utf8(command_line));
    }
    void open_address(std::u16string_view address) override {
        if (fail_shell) host::raise(-2147221003, u"Application not found");
        log_.push_back("shell " + utf8(address));
    }
    void copy_button_face(const host::Object&, uint32_t) override {}
    std::unique_ptr<host::Library> load_library(std::u16string_view) override { return nullptr; }
    std::optional<std::u16string> installed_file(std::u16string_view name) override {
        if (install_folder.empty()) return std::nullopt;
        return host::from_utf8(install_folder) + std::u16string(name);
    }
    std::u16string windows_folder() override { return host::from_utf8(windows); }
    void* module_handle() override { return nullptr; }
    void* raw_interface(const host::Object&) override { return nullptr; }
    void failure_reached_top(const host::Failure& f) override {
        log_.push_back("failure " + std::to_string(f.number()));
    }

private:
    Log& log_;
};

// Records load, show, hide, unload and every move of a form, with its position.
class RecordingViews : public wizard::ViewFactory {
public:
    explicit RecordingViews(Log& log) : log_(log) {}

    std::unique_ptr<wizard::FormView> create(wizard::Form&) override {
        if (std::exchange(refuse_next, false))
            host::raise(static_cast<int32_t>(0x80004005), u"The window could not be created.");
        return std::make_unique<View>(log_);
    }

    // The next window cannot be made, as when the system is out of window handles.
    bool refuse_next = false;

private:
    class View : public wizard::FormView {
    public:
        explicit View(Log& log) : log_(log) {}
        void loaded(wizard::Form& f) override { record("load", f); }
        void shown(wizard::Form& f) override { record("show", f); }
        void hidden(wizard::Form& f) override { record("hide", f); }
        void unloaded(wizard::Form& f) override { log_.push_back("unload " + utf8(f.name())); }
        void moved(wizard::Form& f) override { record("move", f); }

    private:
        void record(const char* what, wizard::Form& f) {
            log_.push_back(std::string(what) + " " + utf8(f.name()) + " " + twips(f.left()) + "," +
                           twips(f.top()));
        }
        Log& log_;
    };
    Log& log_;
};

// A fresh wizard context over the fakes for each test.
struct World {
    Log log;
    FakeEnv env{log};
    RecordingViews views{log};
    wizard::WizardContext state{env, views};
    wizard::Forms& forms = state.forms;

    // The log from here on only.
    void clear() { log.clear(); }
    // Which forms are loaded and which are shown, e.g. "frmChoose* frmTitle" (* = shown).
    std::string pages() {
        std::string out;
        wizard::Form* all[] = {&forms.frmStartUp, &forms.frmChoose, &forms.frmTitle,
                               &forms.frmDone, &forms.frmPBar};
        for (wizard::Form* f : all) {
            if (!f->loaded()) continue;
            if (!out.empty()) out += ' ';
            out += utf8(f->name());
            if (f->visible()) out += '*';
        }
        return out;
    }
    std::string where(wizard::Form& f) { return twips(f.left()) + "," + twips(f.top()); }
    std::string remembered() {
        return std::to_string(state.position.left) + "," + std::to_string(state.position.top);
    }
};

}  // namespace wizard_test
