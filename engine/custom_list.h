#pragma once
// The custom list run, the mtitle module: a list from one folder the user picks, under the
// name typed on the list name page.
#include "engine/run_context.h"

namespace engine {

// MakeCustomList: the custom run, from the folder picker to the saved list shown.
void MakeCustomList(RunContext& run);

}  // namespace engine
