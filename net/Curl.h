// libcurl's process-wide set-up, shared by the net classes.
#pragma once

namespace net {

// Initialises libcurl once, from whichever thread comes first; it stays initialised until the
// process ends.
void ensureCurl();

}  // namespace net
