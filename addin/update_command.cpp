// Update List, the command that brings the selected distribution list up to date, and the
// explorer's selection it follows. The buttons that reach it (the ribbon's, today) ask here
// whether it can run and call it; this file knows no button.
#include "addin/commands.h"
#include "addin/connect.h"
#include "engine/update_list.h"
#include "host/office.h"
#include "host/skip.h"

namespace addin {

bool Connect::update_list_available() {
    // A host that cannot say what is selected leaves the command off rather than failing.
    bool one_list = false;
    host::skip([&] {
        host::Explorer explorer = state_.application().ActiveExplorer();
        one_list = explorer && static_cast<bool>(engine::SelectedList(explorer));
    });
    return one_list;
}

void Connect::update_list() {
    host::Explorer explorer = state_.application().ActiveExplorer();
    host::DistListItem list = explorer ? engine::SelectedList(explorer) : host::DistListItem();
    if (list) engine::UpdateList(state_, list);
}

void Connect::follow_selection() {
    host::skip([&] {
        host::Explorer explorer = state_.application().ActiveExplorer();
        if (!explorer) return;
        host::Object window = explorer.object();
        host::Subscription link = window.subscribe(u"SelectionChange", [this](std::vector<host::Variant>&) {
            update_list_availability_changed();
        });
        selection_.link = std::move(link);
        selection_.object = std::move(window);
    });
}

}  // namespace addin
