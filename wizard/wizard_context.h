#pragma once
// What the pages reach beyond their own controls: the outside world, the remembered wizard
// position, the five forms, and the run context the runs they start are given. The wizard
// is the runs' windows: it implements engine::RunWindows over its forms.
#include "engine/run_context.h"
#include "host/environment.h"
#include "wizard/forms.h"
#include "wizard/position.h"

namespace wizard {

class WizardContext : private engine::RunWindows, public engine::RunContext {
public:
    WizardContext(host::Environment& environment, ViewFactory& views)
        : engine::RunContext(environment, *this), forms(views, *this) {}

    WizardPosition position;
    Forms forms;

private:
    void back_to_work_type() override;
    void back_to_name_page_at_position() override;
    void back_to_name_page() override;
    void show_progress() override;
    void set_progress_max(float max) override;
    void refresh_progress() override;
    float progress_max() override;
    void set_progress_value(float value) override;
    void unload_progress() override;
    std::u16string list_name() override;
    void clear_list_name() override;
    void show_done() override;
};

}  // namespace wizard
