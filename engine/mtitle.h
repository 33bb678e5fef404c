#pragma once
// The custom list run: a list from one folder the user picks, under the name typed on the
// list name page.
#include "engine/run_context.h"

namespace engine {

void MakeCustomList(RunContext& run);

}  // namespace engine
