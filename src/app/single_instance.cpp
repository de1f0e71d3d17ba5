#include "app/single_instance.h"

namespace parupo {

std::unique_ptr<InstanceLock> claimSingleInstance(const std::filesystem::path& folder,
                                                  Dialogs& dialogs) {
  auto lock = InstanceLock::acquire(folder);
  if (!lock) dialogs.message("既に起動されています");
  return lock;
}

}  // namespace parupo
