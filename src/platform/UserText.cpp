// SPDX-License-Identifier: GPL-2.0-or-later
#include "platform/UserText.h"

#include "platform/PathText.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QLibraryInfo>
#include <QTranslator>

#include <array>
#include <climits>

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
// The loaded translation of another language than English, if any.
QTranslator*& otherLanguage() {
    static QTranslator* translator = nullptr;
    return translator;
}
// English needs a translation only for the singular of its counted texts: their source
// texts are the plural. Loaded once, also where no application object exists (the engine's
// tests).
const QTranslator& englishForms() {
    static const auto* const translator = [] {
        auto* english = new QTranslator;
        if (!english->load(QStringLiteral(":/i18n/trevalo_en.qm")))
            qWarning("The English translation is missing: counted texts keep their plural");
        return english;
    }();
    return *translator;
}
} // namespace

bool loadUserLanguage(const QLocale& locale) {
    auto* own = new QTranslator(QCoreApplication::instance());
    if (!own->load(locale, QStringLiteral("trevalo"), QStringLiteral("_"),
                   QStringLiteral(":/i18n")) ||
        own->language().startsWith(QLatin1String("en"))) {
        delete own;
        // English, and the fallback of a language without translation: the English forms
        // of the counted texts serve tr() with a count too.
        auto* english = new QTranslator(QCoreApplication::instance());
        if (english->load(QStringLiteral(":/i18n/trevalo_en.qm")))
            QCoreApplication::installTranslator(english);
        else
            delete english;
        return false;
    }
    QCoreApplication::installTranslator(own);
    otherLanguage() = own;
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

UserDateForm::UserDateForm()
    //: How the date a file was last changed is written: a QDateTime format (yyyy year, MM
    //: month, dd day, HH hour 00-23, mm minutes, ss seconds). Keep the time's seconds.
    : format_(QCoreApplication::translate("FileDate", "yyyy/MM/dd HH:mm:ss")),
      locale_(userNumberLocale()), asWritten_(format_ == QLatin1String("yyyy/MM/dd HH:mm:ss")) {}

QString UserDateForm::text(std::string_view fileDate) const {
    std::array<int, 6> n{};
    if (asWritten_ || !fileDateNumbers(fileDate, n))
        return QString::fromLatin1(fileDate.data(), static_cast<qsizetype>(fileDate.size()));
    // The fields as they stand, with no time zone to move them (a local time that a change of
    // clocks skipped stays what the file system gave).
    const QDateTime when(QDate(n[0], n[1], n[2]), QTime(n[3], n[4], n[5]), Qt::UTC);
    if (!when.isValid())
        return QString::fromLatin1(fileDate.data(), static_cast<qsizetype>(fileDate.size()));
    return locale_.toString(when, format_);
}

std::string UserDateForm::utf8(std::string_view fileDate) const {
    return asWritten_ ? std::string(fileDate) : text(fileDate).toStdString();
}

std::string userText(const char* context, const char* english) {
    return QCoreApplication::translate(context, english).toStdString();
}

QString countedText(const char* context, const char* english, const char* disambiguation,
                    std::int64_t count) {
    // Qt chooses the form from an int; past that the last six digits choose it, which is all
    // any language's rule looks at.
    const std::uint64_t size =
        count < 0 ? 0 - static_cast<std::uint64_t>(count) : static_cast<std::uint64_t>(count);
    const int n =
        size <= INT_MAX ? static_cast<int>(size) : static_cast<int>(size % 1000000) + 1000000;
    QString text;
    if (otherLanguage())
        text = otherLanguage()->translate(context, english, disambiguation, n);
    if (text.isEmpty())
        text = englishForms().translate(context, english, disambiguation, n);
    if (text.isEmpty())
        text = QString::fromUtf8(english);
    const QString digits = QString::fromStdString(groupedDigits(count));
    text.replace(QLatin1String("%Ln"), digits);
    text.replace(QLatin1String("%n"), digits);
    return text;
}

std::string userText(const char* context, const char* english, const char* disambiguation,
                     std::int64_t count) {
    return countedText(context, english, disambiguation, count).toStdString();
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
