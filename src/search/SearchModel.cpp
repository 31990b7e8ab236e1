#include "search/SearchModel.h"

#include "platform/PathText.h"

namespace trevalo {} // namespace trevalo
