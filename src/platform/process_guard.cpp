#include "platform/process_guard.h"

#include <sys/prctl.h>
#include <sys/resource.h>

#include <csignal>
#include <cstring>

namespace parupo {

std::vector<std::string> guardProcess(const char* testDumpable) {
  std::vector<std::string> refused;
  const rlimit none{0, 0};
  if (::setrlimit(RLIMIT_CORE, &none) != 0) refused.push_back("core dumps stay on");
  if (std::signal(SIGPIPE, SIG_IGN) == SIG_ERR) refused.push_back("SIGPIPE is not ignored");
  const bool keepDumpable = testDumpable != nullptr && std::strcmp(testDumpable, "1") == 0;
  if (!keepDumpable && ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) != 0) refused.push_back("the process stays dumpable");
  return refused;
}

}  // namespace parupo
