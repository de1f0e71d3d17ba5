// One running program per program folder.
#pragma once

#include <filesystem>
#include <memory>

#include "platform/dialogs.h"
#include "platform/instance_lock.h"

namespace parupo {

// The folder's instance lock, to be held for the whole run. When another instance holds
// it, tells the user "既に起動されています" and gives null: the program then ends at once,
// having read and written nothing.
std::unique_ptr<InstanceLock> claimSingleInstance(const std::filesystem::path& folder,
                                                  Dialogs& dialogs);

}  // namespace parupo
