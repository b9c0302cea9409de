#include "model/filestore/FileStore.h"

namespace model {

FileStore& fileStore()
{
    // Built on first use and never destroyed, like the tables it belongs with.
    static FileStore* store = new FileStore();
    return *store;
}

} // namespace model
