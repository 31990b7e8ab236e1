#include "search/SearchModel.h"

#include "platform/PathText.h"

namespace trevalo {

std::string_view FileEntry::name() const {
    return GetFileName(FilePath);
}

} // namespace trevalo
