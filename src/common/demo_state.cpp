// The one DemoState of the process.
#include "common/demo_state.h"

DemoState demoState;
