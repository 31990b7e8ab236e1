// SPDX-License-Identifier: GPL-2.0-or-later
#include "results/SizeText.h"

#include "platform/UserText.h"

#include <QCoreApplication>
#include <array>

namespace trevalo {

QString sizeForPeople(std::int64_t bytes) {
    if (bytes < 0)
        return {};
    if (bytes < 1000)
        return countedText("SizeText", "%n bytes", nullptr, bytes);
    static constexpr std::array<const char*, 6> kUnits = {"kB", "MB", "GB", "TB", "PB", "EB"};
    double value = static_cast<double>(bytes) / 1000.0;
    std::size_t unit = 0;
    // 999,950 bytes would round to "1000.0 kB": move up a unit before rounding does.
    while (value >= 999.95 && unit + 1 < kUnits.size()) {
        value /= 1000.0;
        ++unit;
    }
    return QCoreApplication::translate("SizeText", "%1 %2")
        .arg(userNumberLocale().toString(value, 'f', 1), QLatin1String(kUnits[unit]));
}

QString exactBytes(std::int64_t bytes) {
    return countedText("SizeText", "%n bytes", nullptr, bytes);
}

} // namespace trevalo
