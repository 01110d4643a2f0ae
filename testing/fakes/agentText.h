// An agent's attributes as one line of the fake's record.
#pragma once

#include <string>

#include "vesk/ss.h"

namespace vesk::testing {

// "<attribute>=<value>|..." in the order the agent lists its attributes;
// strings and whole numbers show their value, anything else nothing.
std::string agentAttributes(ss::IAgent* agent);

}  // namespace vesk::testing
