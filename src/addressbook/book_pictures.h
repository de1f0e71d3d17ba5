// The four 16 by 16 pictures of the address book's tree, drawn in code: a closed
// folder ("CL", 1), an open folder ("OP", 2), a letter ("ML", 3) and a mobile telephone
// ("KT", 4).
#pragma once

#include <QIcon>

namespace parupo {

// The picture of that number; an empty icon (no picture) for any other number.
QIcon bookPicture(int number);

}  // namespace parupo
