// A core file of this program would hold the user's passwords and mails in the clear.
#pragma once

namespace parupo {

// Turns core dumps off for this process (soft and hard limit zero, which the system's
// crash collectors honour too). False when the system refused.
[[nodiscard]] bool turnCoreDumpsOff();

}  // namespace parupo
