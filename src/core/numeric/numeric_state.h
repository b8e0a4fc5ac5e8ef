// State of the numerical methods that lives from load to unload.
#pragma once

namespace quadrel {

struct NumericState {
  double integralCell = 0.0;  // the result cell of dIntegrate
};

}  // namespace quadrel
