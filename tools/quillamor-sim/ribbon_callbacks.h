#pragma once
// The add-in's ribbon callbacks as the host reaches them: by the names its ribbon XML gives,
// as the add-in's dispatch interface offers them. Shared by the scenario player and the
// walk-through, which both play a ribbon host.
#include "addin/connect.h"
#include "sim/model/ribbon.h"

namespace quillamor_sim {

// A name the add-in does not answer to is a sim::ScenarioError, as a host would refuse it.
sim::RibbonInvoker ribbon_callbacks(addin::Connect& connect);

}  // namespace quillamor_sim
