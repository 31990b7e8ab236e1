// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include <QLocale>
#include <QString>
#include <concepts>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

namespace trevalo {

// Loads the program's translation (built into the program as :/i18n/trevalo_<language>.qm)
// and Qt's own (qtbase_<language>.qm, for the standard dialogs' buttons) for `locale`, which is
// the user's (LANG, LC_ALL, LC_MESSAGES) by default. Needs the application object. Without a
// translation for the locale's language the texts stay English. Returns whether one was loaded.
bool loadUserLanguage(const QLocale& locale = QLocale::system());

// The language the texts are in, in its own words ("Deutsch"; "English" without translation).
QString userLanguageName();

// The locale numbers are written in: the loaded translation's, and English ("1,234") without
// one, whatever the system's locale.
QLocale userNumberLocale();
// `count` with its digits grouped in threes as the user's language writes it ("1,234,567").
std::string groupedDigits(std::int64_t count);

// The form the user's language writes a file's date in: the loaded translation gives it (a
// QDateTime format: "dd.MM.yyyy HH:mm:ss" in German), the user's number locale its digits.
// Made once for many dates (a list, an output); a form made before a translation is loaded
// stays English.
class UserDateForm {
public:
    UserDateForm();
    // The date of a text as formatFileDate writes it, in this form. In English, and for a text
    // of another form (a year past 9999, a date read from a results file), the text itself.
    QString text(std::string_view fileDate) const;
    // The same as UTF-8, for the engine.
    std::string utf8(std::string_view fileDate) const;

private:
    QString format_;
    QLocale locale_;
    bool asWritten_ = true;
};

// A text the user reads, in the language of the translation the program loaded (the English
// text itself without one), as UTF-8. `context` groups the texts for the translator, as a
// class name does for tr().
std::string userText(const char* context, const char* english);

// A text that counts something ("%n files"), in the form the user's language takes for `count`
// (English: "1 file", "2 files"; French: "0 fichier"), with each "%n" replaced by `count` as
// groupedDigits writes it. The forms come from the loaded translation, and from the English one
// built into the program when there is none. The arguments are those of
// QCoreApplication::translate, whose own "%n" can neither group digits nor hold 64 bits.
QString countedText(const char* context, const char* english, const char* disambiguation,
                    std::int64_t count);
// The same as UTF-8, for the engine.
std::string userText(const char* context, const char* english, const char* disambiguation,
                     std::int64_t count);
// The same for the size of a container: no count held in memory reaches 2^63.
template <std::unsigned_integral Count>
QString countedText(const char* context, const char* english, const char* disambiguation,
                    Count count) {
    return countedText(context, english, disambiguation, static_cast<std::int64_t>(count));
}
template <std::unsigned_integral Count>
std::string userText(const char* context, const char* english, const char* disambiguation,
                     Count count) {
    return userText(context, english, disambiguation, static_cast<std::int64_t>(count));
}

// `pattern` with "%1" ... "%9" replaced by `args` in turn, as bytes: a path need not be UTF-8,
// and a translation may put the places in another order.
std::string withArgs(std::string_view pattern, std::initializer_list<std::string_view> args);

} // namespace trevalo
