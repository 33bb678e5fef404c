#pragma once
// The add-in's process-wide state, created when the add-in loads: the wizard's context (the
// Application, the runs' counters, the remembered wizard position and the five forms) and
// what only the add-in keeps. Tests start each case from a fresh one.
#include <cstdint>

#include "host/environment.h"
#include "wizard/forms.h"
#include "wizard/wizard_context.h"

namespace addin {

struct ProcessState : wizard::WizardContext {
    ProcessState(host::Environment& environment, wizard::ViewFactory& views)
        : wizard::WizardContext(environment, views) {}

    // ServiceStatus: the service library's answer to the last start-up call; negative when
    // it refused the add-in.
    int32_t ServiceStatus = 0;
};

}  // namespace addin
