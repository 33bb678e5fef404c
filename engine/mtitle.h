#pragma once
// The custom list run: a list from one folder the user picks, under the name typed on the
// list name page.
namespace addin {
struct ProcessState;
}

namespace engine {

void MakeCustomList(addin::ProcessState& s);

}  // namespace engine
