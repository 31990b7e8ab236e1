#include "search/ContentCompare.h"

namespace trevalo {

std::int64_t GetBufferSz(std::int64_t sz) {
    return sz < 40480 ? sz : 2024;
}

bool CompFileCnt(FileTable&, std::int64_t, std::int64_t, const std::atomic<bool>*) {
    return true;
}

bool CompFileCnt2(FileTable&, std::int64_t, std::int64_t, bool, const std::atomic<bool>*,
                  const CompareProgress&) {
    return true;
}

} // namespace trevalo
