#pragma once

#include <string>

namespace shredder::testing {

// Removes a folder and everything below it, whatever the attributes, never following a folder
// link into its target. Takes the "\\?\" form so paths longer than MAX_PATH are reached; uses
// the system's own calls so clean-up does not depend on the code under test.
void RemoveTree(const std::wstring& folder);

}  // namespace shredder::testing
