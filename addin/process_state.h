#pragma once
// The add-in's process-wide state, created when the add-in loads. Tests start each case
// from a fresh one.
#include <cstdint>

#include "host/environment.h"
#include "host/outlook.h"
#include "wizard/forms.h"
#include "wizard/position.h"

namespace addin {

struct ProcessState {
    ProcessState(host::Environment& environment, wizard::ViewFactory& views)
        : env(environment), forms(views, *this) {}
    ProcessState(const ProcessState&) = delete;
    ProcessState& operator=(const ProcessState&) = delete;

    // The add-in's Application object: created the first time any part of the system uses it.
    const host::Application& application() {
        if (!application_) application_ = host::Application(env.create_application());
        return application_;
    }
    // Drops the Application reference (when the host releases the add-in).
    void release_application() { application_.reset(); }

    host::Environment& env;
    int32_t ServiceStatus = 0;
    wizard::WizardPosition position;
    // Run state of the quick and custom runs.
    int32_t ItemTotal = 0;
    int32_t ProgressCount = 0;
    host::Bool16 AllEmails = host::False;
    wizard::Forms forms;

private:
    host::Application application_;
};

}  // namespace addin
