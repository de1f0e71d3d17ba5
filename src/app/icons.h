// The program's small pictures, drawn in code: the send and attachment buttons' 16 by 16
// icons and the window icon.
#pragma once

#include <QIcon>

namespace parupo {

QIcon sendIcon();        // an envelope with a flying arrow
QIcon attachmentIcon();  // a paper clip
QIcon attachedIcon();    // the paper clip with a green badge: a file is attached
QIcon programIcon();     // the window icon: an envelope

}  // namespace parupo
