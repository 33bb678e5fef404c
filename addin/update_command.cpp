// Update List, the command that brings the selected distribution list up to date, and the
// explorer windows' selections it follows. The buttons that reach it (the ribbon's, today) ask
// here whether it can run in their window and call it; this file knows no button.
#include <algorithm>

#include "addin/commands.h"
#include "addin/connect.h"
#include "engine/update_list.h"
#include "host/office.h"
#include "host/skip.h"

namespace addin {

bool Connect::update_list_available(const host::Explorer& explorer) {
    // A host that cannot say what is selected leaves the command off rather than failing.
    bool one_list = false;
    host::skip([&] { one_list = explorer && static_cast<bool>(engine::SelectedList(explorer)); });
    return one_list;
}

void Connect::update_list(const host::Explorer& explorer) {
    host::DistListItem list = explorer ? engine::SelectedList(explorer) : host::DistListItem();
    if (list) engine::UpdateList(state_, list);
}

void Connect::follow_selection(const host::Explorer& explorer) {
    if (!explorer) return;
    host::skip([&] {
        auto window = std::make_unique<FollowedWindow>();
        FollowedWindow* self = window.get();
        window->explorer = explorer.object();
        window->selection = window->explorer.subscribe(u"SelectionChange", [this](std::vector<host::Variant>&) {
            update_list_availability_changed();
        });
        // A window that closes is followed no more; a host whose explorers cannot say so keeps
        // the window followed until the add-in goes.
        host::skip([&] {
            window->closed = window->explorer.subscribe(u"Close", [this, self](std::vector<host::Variant>&) {
                std::erase_if(followed_, [self](const auto& w) { return w.get() == self; });
            });
        });
        followed_.push_back(std::move(window));
    });
}

}  // namespace addin
