// Connect, the add-in object: connection, start-up, the service library, disconnection and
// the buttons' clicks. Its command bars are built in commands.cpp and its ribbon callbacks
// are in ribbon.cpp.
#include "addin/connect.h"

#include "host/skip.h"
#include "host/text.h"

namespace addin {

using host::skip;

Connect::Connect(ProcessState& state) : state_(state) {}

Connect::~Connect() = default;

void Connect::OnConnection(const host::Object& application, int32_t, const host::Object&) {
    hostApp_ = application;
    state_.set_application(application);
    try {
        read_host_version();
        OnStartupComplete();
    } catch (...) {
        loaded_ = host::True;
        throw;
    }
    loaded_ = host::True;
}

// Read once: the explorer windows of 2010 and later show a ribbon and no command bars. A
// host that cannot say its version gets the command bars, as every host did before.
void Connect::read_host_version() {
    const host::Application& app = state_.application();
    try {
        const std::u16string version = app.Version();
        state_.env.set_host_version(version);
        ribbon_host_ = host::MajorVersion(version) >= host::first_ribbon_version;
    } catch (const host::Failure& failure) {
        state_.env.log_failure(failure, host::Shown::no);
        ribbon_host_ = false;
    }
}

void Connect::OnStartupComplete() {
    const host::Application& app = state_.application();
    host::Explorer explorer = app.ActiveExplorer();
    if (!explorer) {
        // No window yet: start as soon as the host opens one.
        watch_new_windows(app);
        return;
    }
    if (loaded_ == host::False) {
        InitAddIn(explorer);
        loaded_ = host::True;
        // Each window of a ribbon host has its own selection, the later ones too.
        if (ribbon_host_ && started_) host::skip([&] { watch_new_windows(app); });
    }
}

// The subscription held so far goes only once the new one stands: a host that fails to give
// its explorers must not leave the add-in deaf to the next window.
void Connect::watch_new_windows(const host::Application& app) {
    host::Object explorers = app.GetExplorers().object();
    host::Subscription link = explorers.subscribe(u"NewExplorer", [this](std::vector<host::Variant>& args) {
        eExplorers_NewExplorer(args.empty() ? host::Object() : args[0].as_object());
    });
    eExplorers_.link = std::move(link);
    eExplorers_.object = std::move(explorers);
}

void Connect::eExplorers_NewExplorer(const host::Object& explorer) {
    if (ribbon_host_ && started_) follow_selection(host::Explorer(explorer));
    else InitAddIn(host::Explorer(explorer));
}

void Connect::InitAddIn(const host::Explorer& explorer) {
    skip([&] {
        state_.ServiceStatus = svcLib().LibOrvaneInit(state_.env.module_handle(), 1, hostApp_,
                                                      host::product_configuration, 0);
    });
    started_ = state_.ServiceStatus >= 0;
    if (!started_)
        skip([&] { host::MsgBox(state_.env, u"Error#" + host::decimal(state_.ServiceStatus)); });
    else if (!ribbon_host_)
        skip([&] { build_commands(explorer); });
    else
        follow_selection(explorer);
    if (ribbon_host_) invalidate_ribbon();
}

host::CLibOrvane& Connect::svcLib() {
    if (!svcLib_) svcLib_ = std::make_unique<host::CLibOrvane>(state_.env);
    return *svcLib_;
}

void Connect::OnDisconnection(int32_t) {
    followed_.clear();
    if (ribbon_host_) return;  // the ribbon goes with the add-in; nothing was built
    host::Explorer explorer = state_.application().ActiveExplorer();
    if (!explorer) return;
    remove_commands(explorer);
}

void Connect::bind(EventMember& member, host::Object button, void (Connect::*click)()) {
    // An object without the button's events fails here, before the member changes.
    host::Subscription link;
    if (button)
        link = button.subscribe(u"Click", [this, click](std::vector<host::Variant>&) { (this->*click)(); });
    member.link = std::move(link);
    member.object = std::move(button);
}

void Connect::set_myBut1(host::Object b) { bind(myBut1_, std::move(b), &Connect::myBut1_Click); }
void Connect::set_myBut2(host::Object b) { bind(myBut2_, std::move(b), &Connect::myBut2_Click); }
void Connect::set_myBut3(host::Object b) { bind(myBut3_, std::move(b), &Connect::myBut3_Click); }

int32_t Connect::QuickStart() {
    host::MsgBox(state_.env, u"QuickStart");
    return 0;
}

void Connect::show_wizard() { state_.forms.frmStartUp.show(); }

void Connect::myBut1_Click() { show_wizard(); }
void Connect::myBut3_Click() { show_wizard(); }

void Connect::myBut2_Click() {
    try {
        svcLib().LibOrvaneShowAbout();
    } catch (const host::Failure& f) {
        // The service library is not shipped with the add-in; say so rather than nothing.
        if (f.number() == host::errors::file_not_found || f.number() == host::errors::entry_point_not_found)
            host::MsgBox(state_.env, u"The about box is not available: the service library " +
                                         std::u16string(host::service_library_file) + u" is not installed.");
        else
            host::ReportFailure(state_.env, f);
    }
}

}  // namespace addin
