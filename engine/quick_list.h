#pragma once
// The quick list run of the mChoose module: a list from the default Contacts folder and its
// direct subfolders, named after the picked categories.
#include "engine/run_context.h"

namespace engine {

// MakeQuickList: the quick run, from the category dialog to the saved list shown.
void MakeQuickList(RunContext& run);

}  // namespace engine
