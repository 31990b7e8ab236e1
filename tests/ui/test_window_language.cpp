// SPDX-License-Identifier: GPL-2.0-or-later
// The window in the user's language, as CTest runs it under LC_ALL=de_DE.UTF-8 and fr_FR.UTF-8:
// every caption, menu item, tab, column, hint and accessible name is translated, each caption
// has the room it asks for, and the About box and the help page follow the language.
#include "platform/UserText.h"
#include "results/ResultListModel.h"
#include "ui/DriveList.h"
#include "ui/GeneralMenu.h"
#include "ui/MainWindow.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

using namespace trevalo;

namespace {

// Every text the window shows or names, in the order of its widgets and actions; the same
// window in another language gives a list of the same length.
QStringList textsOf(const QWidget& window) {
    QStringList texts;
    const auto add = [&](const QString& text) { texts << text; };
    add(window.windowTitle());
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        add(w->toolTip());
        add(w->accessibleName());
        add(w->accessibleDescription());
        if (const auto* label = qobject_cast<const QLabel*>(w))
            add(label->text());
        if (const auto* button = qobject_cast<const QAbstractButton*>(w))
            add(button->text());
        if (const auto* box = qobject_cast<const QGroupBox*>(w))
            add(box->title());
        if (const auto* edit = qobject_cast<const QLineEdit*>(w))
            add(edit->placeholderText());
        if (const auto* menu = qobject_cast<const QMenu*>(w))
            add(menu->title());
        if (const auto* tabs = qobject_cast<const QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                add(tabs->tabText(i) + tabs->tabToolTip(i));
        }
        if (const auto* list = qobject_cast<const QListWidget*>(w)) {
            for (int i = 0; i < list->count(); ++i)
                add(list->item(i)->text() + list->item(i)->toolTip());
        }
        // The drives are the system's mounts, which may come and go between two windows.
        if (const auto* combo = qobject_cast<const QComboBox*>(w);
            combo && !qobject_cast<const DriveList*>(w)) {
            for (int i = 0; i < combo->count(); ++i)
                add(combo->itemText(i));
        }
        if (const auto* view = qobject_cast<const QAbstractItemView*>(w); view && view->model()) {
            for (int c = 0; c < view->model()->columnCount(); ++c) {
                add(view->model()->headerData(c, Qt::Horizontal).toString());
                add(view->model()->headerData(c, Qt::Horizontal, Qt::ToolTipRole).toString());
            }
        }
    }
    for (const QAction* action : window.findChildren<QAction*>()) {
        add(action->text());
        add(action->toolTip());
    }
    return texts;
}

// Whether a text reads as words: two letters in a row, and neither a path nor a size unit.
bool hasWords(const QString& text) {
    static const QRegularExpression kWord(QStringLiteral("[A-Za-z]{2}"));
    static const QStringList kUnits = {QStringLiteral("KB"), QStringLiteral("MB"),
                                       QStringLiteral("GB")};
    return text.contains(kWord) && !text.startsWith(QLatin1Char('/')) && !kUnits.contains(text);
}

// Where a widget lies in the window.
QRect inWindow(const QWidget* widget) {
    return QRect(widget->mapTo(widget->window(), QPoint()), widget->size());
}

// The widgets that cannot show their caption whole at the window's present size.
QStringList cutCaptions(const MainWindow& window) {
    QStringList cut;
    for (const QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->isVisible())
            continue;
        const bool captioned =
            qobject_cast<const QAbstractButton*>(w) ||
            (qobject_cast<const QLabel*>(w) && w->objectName() != QLatin1String("previewLabel") &&
             w->objectName() != QLatin1String("statusLabel"));
        if (captioned && w->width() < w->minimumSizeHint().width())
            cut << w->objectName() + QLatin1Char('/') + w->metaObject()->className();
        if (const auto* tabs = qobject_cast<const QTabBar*>(w)) {
            for (int i = 0; i < tabs->count(); ++i)
                if (tabs->isTabVisible(i) &&
                    tabs->tabRect(i).width() <
                        tabs->fontMetrics().horizontalAdvance(
                            QString(tabs->tabText(i)).remove(QLatin1Char('&'))))
                    cut << QStringLiteral("tab ") + tabs->tabText(i);
        }
        if (const auto* list = qobject_cast<const QListWidget*>(w)) {
            if (list->viewport()->width() < list->sizeHintForColumn(0))
                cut << w->objectName();
        }
        if (!window.rect().contains(inWindow(w)) && w->parentWidget() == &window)
            cut << w->objectName() + QStringLiteral(" outside");
    }
    return cut;
}

// The language the test runs in, by CTest's LC_ALL: "de", "fr".
QString languageCode() {
    return QLocale::system().name().section(QLatin1Char('_'), 0, 0);
}

} // namespace

class TestWindowLanguage : public QObject {
    Q_OBJECT
    QTemporaryDir settings_;

private slots:
    void initTestCase() {
        QVERIFY(settings_.isValid());
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settings_.path());
        QVERIFY2(languageCode() == QLatin1String("de") || languageCode() == QLatin1String("fr"),
                 qPrintable(QLocale::system().name()));
    }

    // The same window in English and in the user's language differs in every text that has
    // words, but for the few that read the same in both ("Name" and "Filter" in German).
    void everyTextIsTranslated() {
        QStringList english;
        {
            MainWindow window;
            english = textsOf(window);
        }
        QVERIFY(loadUserLanguage());
        MainWindow window;
        const QStringList translated = textsOf(window);
        QCOMPARE(translated.size(), english.size());
        const QStringList sameInBoth =
            languageCode() == QLatin1String("de")
                ? QStringList{QStringLiteral("Name"), QStringLiteral("Filter")}
                : QStringList{QStringLiteral("&Menu"), QStringLiteral("Menu")};
        QStringList untranslated;
        for (qsizetype i = 0; i < english.size(); ++i) {
            if (translated[i] == english[i] && hasWords(english[i]) &&
                english[i] != QLatin1String("Trevalo") && !sameInBoth.contains(english[i]))
                untranslated << english[i];
        }
        QVERIFY2(untranslated.isEmpty(), qPrintable(untranslated.join(QStringLiteral(" | "))));

        // The About box names the language, and the help page is the language's own.
        const QString name = languageCode() == QLatin1String("de") ? QStringLiteral("Deutsch")
                                                                   : QStringLiteral("Français");
        QCOMPARE(userLanguageName(), name);
        QVERIFY2(aboutText().endsWith(name), qPrintable(aboutText()));
        QVERIFY2(helpUrl().path().endsWith(QStringLiteral("/trevalo_%1.html").arg(languageCode())),
                 qPrintable(helpUrl().toString()));

        // A file's date in the language's form; one the form cannot hold stays as written.
        std::vector<ResultRow> rows(2);
        const std::string_view dates[] = {"2021/03/04 05:06:07", "12021/03/04 05:06:07"};
        for (std::size_t i = 0; i < rows.size(); ++i) {
            rows[i].name.assign(1, 'f');
            rows[i].setFolder(std::make_shared<const std::string>("/"));
            std::copy(dates[i].begin(), dates[i].end(), rows[i].date.begin());
        }
        ResultListModel model;
        model.appendRows(std::move(rows));
        QCOMPARE(model.index(0, DateColumn).data().toString(),
                 languageCode() == QLatin1String("de") ? QStringLiteral("04.03.2021 05:06:07")
                                                       : QStringLiteral("04/03/2021 05:06:07"));
        QCOMPARE(model.index(1, DateColumn).data().toString(),
                 QStringLiteral("12021/03/04 05:06:07"));
    }

    // At the size the window opens with and at its least size, no caption is cut and every
    // part stays in the window.
    void captionsHaveTheirRoom() {
        if (userLanguageName() == QLatin1String("English"))
            QVERIFY(loadUserLanguage());
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCoreApplication::processEvents();
        QVERIFY2(cutCaptions(window).isEmpty(),
                 qPrintable(cutCaptions(window).join(QLatin1Char(' '))));
        window.resize(window.minimumSizeHint());
        QTRY_COMPARE(window.size(), window.minimumSizeHint());
        QCoreApplication::processEvents();
        QVERIFY2(cutCaptions(window).isEmpty(),
                 qPrintable(cutCaptions(window).join(QLatin1Char(' '))));
        const QRect free = window.screen()->availableGeometry();
        QVERIFY2(window.minimumSizeHint().width() <= free.width() &&
                     window.minimumSizeHint().height() <= free.height(),
                 qPrintable(QStringLiteral("least %1x%2")
                                .arg(window.minimumSizeHint().width())
                                .arg(window.minimumSizeHint().height())));
    }
};

QTEST_MAIN(TestWindowLanguage)
#include "test_window_language.moc"
