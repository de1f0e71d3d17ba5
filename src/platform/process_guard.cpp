#include "platform/core_dumps.h"

#include <sys/resource.h>

namespace parupo {

bool turnCoreDumpsOff() {
  const rlimit none{0, 0};
  return ::setrlimit(RLIMIT_CORE, &none) == 0;
}

}  // namespace parupo
