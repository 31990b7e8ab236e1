// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/UserText.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace trevalo {

namespace {
QLocale& languageLocale() {
    static QLocale locale(QLocale::English, QLocale::UnitedStates);
    return locale;
}
bool& translated() {
    static bool loaded = false;
    return loaded;
}
} // namespace

bool loadUserLanguage(const QLocale& locale) {
    auto* own = new QTranslator(QCoreApplication::instance());
    if (!own->load(locale, QStringLiteral("trevalo"), QStringLiteral("_"),
                   QStringLiteral(":/i18n")) ||
        own->language().startsWith(QLatin1String("en"))) {
        delete own;
        return false;
    }
    QCoreApplication::installTranslator(own);
    auto* qt = new QTranslator(QCoreApplication::instance());
    if (qt->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"),
                 QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(qt);
    else
        delete qt;
    languageLocale() = QLocale(QLocale(own->language()).language(), locale.territory());
    translated() = true;
    return true;
}

QString userLanguageName() {
    if (!translated())
        return QStringLiteral("English");
    QString name = languageLocale().nativeLanguageName();
    if (!name.isEmpty())
        name[0] = name[0].toUpper(); // "français" begins a line
    return name;
}

QLocale userNumberLocale() {
    return languageLocale();
}

std::string groupedDigits(std::int64_t count) {
    return userNumberLocale().toString(static_cast<qlonglong>(count)).toStdString();
}

std::string userText(const char* context, const char* english) {
    return QCoreApplication::translate(context, english).toStdString();
}

std::string withArgs(std::string_view pattern, std::initializer_list<std::string_view> args) {
    std::string out;
    out.reserve(pattern.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        const auto place = static_cast<std::size_t>(next - '1');
        if (pattern[i] == '%' && next >= '1' && next <= '9' && place < args.size()) {
            out += *(args.begin() + place);
            ++i;
        } else {
            out += pattern[i];
        }
    }
    return out;
}

} // namespace trevalo
