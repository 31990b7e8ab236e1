// SPDX-License-Identifier: GPL-2.0-or-later
#include "ui/MarkCommands.h"

#include "platform/ByteText.h"
#include "platform/UserText.h"
#include "results/ResultListModel.h"
#include "ui/FileCommands.h"

#include <QAction>
#include <QActionGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>
#include <QVBoxLayout>

#include <array>

namespace trevalo {

namespace {

struct RuleChoice {
    KeepRule rule;
    const char* key; // in the settings
    const char* caption;
};
constexpr std::array<RuleChoice, 4> kRules = {{
    {KeepRule::Oldest, "oldest", QT_TRANSLATE_NOOP("trevalo::MarkCommands", "&Oldest")},
    {KeepRule::Newest, "newest", QT_TRANSLATE_NOOP("trevalo::MarkCommands", "&Newest")},
    {KeepRule::ShortestPath, "shortest-path",
     QT_TRANSLATE_NOOP("trevalo::MarkCommands", "&Shortest path")},
    {KeepRule::FirstInOrder, "first-in-order",
     QT_TRANSLATE_NOOP("trevalo::MarkCommands", "&First in sort order")},
}};

QSettings settings() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Trevalo"),
                     QStringLiteral("trevalo"));
}
const QString kRuleSetting = QStringLiteral("marking/keepRule");

// The prompt of "Mark by pattern...": a line for the pattern and, below it, how many rows it
// would mark, told as the user types.
QString askPattern(QWidget* window, const std::function<QString(const QString&)>& countText) {
    QDialog dialog(window);
    dialog.setWindowTitle(QObject::tr("Mark by pattern"));
    auto* label = new QLabel(QObject::tr("Mark the files whose full path matches (* and ?):"));
    auto* edit = new QLineEdit(QStringLiteral("*"));
    auto* count = new QLabel(countText(edit->text()));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(edit, &QLineEdit::textChanged,
                     [&](const QString& text) { count->setText(countText(text)); });
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* column = new QVBoxLayout(&dialog);
    column->addWidget(label);
    column->addWidget(edit);
    column->addWidget(count);
    column->addWidget(buttons);
    edit->selectAll();
    return dialog.exec() == QDialog::Accepted ? edit->text() : QString();
}

} // namespace

MarkCommands::MarkCommands(FileCommandsHost& host, QWidget* window)
    : QObject(window), w_(host), window_(window) {
    const QString saved = settings().value(kRuleSetting).toString();
    for (const RuleChoice& choice : kRules)
        if (saved == QLatin1String(choice.key))
            rule_ = choice.rule;
}

void MarkCommands::addToFileMenu(QMenu* fileMenu) {
    keepOneAction_ = new QAction(tr("Mark duplicates, &keep one per group"), fileMenu);
    keepOneAction_->setObjectName(QStringLiteral("keepOneAction"));
    keepOneAction_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    keepOneAction_->setShortcutContext(Qt::WindowShortcut);
    window_->addAction(keepOneAction_);
    connect(keepOneAction_, &QAction::triggered, this, &MarkCommands::keepOnePerGroup);

    ruleMenu_ = new QMenu(tr("Keep &in each group"), fileMenu);
    ruleMenu_->setObjectName(QStringLiteral("keepRuleMenu"));
    ruleMenu_->setToolTipsVisible(true);
    auto* group = new QActionGroup(ruleMenu_);
    for (const RuleChoice& choice : kRules) {
        QAction* action = ruleMenu_->addAction(tr(choice.caption));
        action->setObjectName(QStringLiteral("keepRule-") + QLatin1String(choice.key));
        action->setCheckable(true);
        action->setChecked(choice.rule == rule_);
        action->setToolTip(tr("A kept file is always the one kept"));
        group->addAction(action);
        connect(action, &QAction::triggered, this,
                [this, rule = choice.rule] { setKeepRule(rule); });
    }

    // After the marking by age, before "Clear all marks".
    QAction* clearMarks = fileMenu->findChild<QAction*>(QStringLiteral("clearMarksAction"));
    fileMenu->insertAction(clearMarks, keepOneAction_);
    fileMenu->insertMenu(clearMarks, ruleMenu_);

    fileMenu->addSeparator();
    markFolderAction_ =
        fileMenu->addAction(tr("Mark all in &this folder"), this, [this] { setFolderMarks(true); });
    markFolderAction_->setObjectName(QStringLiteral("markFolderAction"));
    unmarkFolderAction_ = fileMenu->addAction(tr("&Unmark all in this folder"), this,
                                              [this] { setFolderMarks(false); });
    unmarkFolderAction_->setObjectName(QStringLiteral("unmarkFolderAction"));
    fileMenu->addAction(tr("Mark &by pattern..."), this, &MarkCommands::markByPattern)
        ->setObjectName(QStringLiteral("markPatternAction"));
    connect(fileMenu, &QMenu::aboutToShow, this, &MarkCommands::menuOpening);
}

void MarkCommands::listShown(int list) {
    if (keepOneAction_)
        keepOneAction_->setEnabled(list == ListDuplicates);
}

void MarkCommands::menuOpening() {
    listShown(w_.currentList());
    const bool row = w_.selectedRow() >= 0;
    markFolderAction_->setEnabled(row);
    unmarkFolderAction_->setEnabled(row);
}

void MarkCommands::setKeepRule(KeepRule rule) {
    rule_ = rule;
    for (const RuleChoice& choice : kRules)
        if (choice.rule == rule)
            settings().setValue(kRuleSetting, QLatin1String(choice.key));
    if (!ruleMenu_)
        return;
    const QList<QAction*> actions = ruleMenu_->actions(); // in the order of kRules
    for (qsizetype i = 0; i < actions.size() && i < static_cast<qsizetype>(kRules.size()); ++i)
        actions[i]->setChecked(kRules[static_cast<std::size_t>(i)].rule == rule);
}

void MarkCommands::keepOnePerGroup() {
    if (w_.currentList() != ListDuplicates)
        return;
    ResultListModel& model = w_.resultModel(ListDuplicates);
    const KeepRule rule = rule_;
    model.editRows([rule, scope = model.shownScope()](
                       std::vector<ResultRow>& rows) { markAllButOnePerGroup(rows, rule, scope); },
                   ResultListModel::RowOrder::Kept);
}

void MarkCommands::setFolderMarks(bool marked) {
    const int selected = w_.selectedRow();
    ResultListModel& model = w_.resultModel(w_.currentList());
    if (selected < 0 || selected >= static_cast<int>(model.rows().size()))
        return;
    const std::string folder = model.row(selected).folder();
    model.editRows(
        [&folder, marked, scope = model.shownScope()](std::vector<ResultRow>& rows) {
            trevalo::setFolderMarks(rows, folder, marked, scope);
        },
        ResultListModel::RowOrder::Kept);
}

QString MarkCommands::patternCountText(const QString& pattern) const {
    const ResultListModel& model = w_.resultModel(w_.currentList());
    const PatternCount count =
        countPatternMatches(model.rows(), bytesOf(pattern), model.shownScope());
    QString text = countedText("trevalo::MarkCommands", "%n files match", nullptr, count.matching);
    if (count.unmarkable > 0)
        text += countedText("trevalo::MarkCommands",
                            "; %n of them stay unmarked (kept files, folders and stale rows)",
                            nullptr, count.unmarkable);
    return text + QLatin1Char('.');
}

void MarkCommands::markByPattern() {
    const auto countFor = [this](const QString& pattern) { return patternCountText(pattern); };
    const QString pattern =
        patternPrompt_ ? patternPrompt_(countFor) : askPattern(window_, countFor);
    if (pattern.isEmpty())
        return;
    ResultListModel& model = w_.resultModel(w_.currentList());
    const std::string bytes = bytesOf(pattern);
    model.editRows(
        [&bytes, scope = model.shownScope()](std::vector<ResultRow>& rows) {
            trevalo::markByPattern(rows, bytes, scope);
        },
        ResultListModel::RowOrder::Kept);
}

// ---- Totals ----

TotalsLabel::TotalsLabel(QWidget* parent) : ElidedLabel(parent) {
    setObjectName(QStringLiteral("totalsLabel"));
}

void TotalsLabel::showList(ResultListModel* model, int list) {
    for (const QMetaObject::Connection& c : connections_)
        disconnect(c);
    connections_.clear();
    model_ = model;
    list_ = list;
    groups_.reset();
    if (model_) {
        connections_ << connect(
            model_, &QAbstractItemModel::dataChanged, this,
            [this](const QModelIndex&, const QModelIndex&, const QList<int>& roles) {
                if (roles.contains(Qt::CheckStateRole))
                    recountMarks();
            });
        for (const auto changed :
             {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
            connections_ << connect(model_, changed, this, &TotalsLabel::recount);
        // After a sort too: the groups are numbered again here rather than on the next key
        // typed in the filter box.
        connections_ << connect(model_, &QAbstractItemModel::layoutChanged, this,
                                &TotalsLabel::recount);
        connections_ << connect(model_, &QAbstractItemModel::modelReset, this,
                                &TotalsLabel::recount);
    }
    recount();
}

void TotalsLabel::setPaused(bool paused) {
    paused_ = paused;
    if (paused)
        clear();
    else
        recount();
}

void TotalsLabel::recount() {
    if (paused_ || !model_)
        return;
    if (!groups_ || groupsVersion_ != model_->rowsVersion()) {
        groups_ = std::make_unique<GroupNumbers>(model_->rows(), list_);
        groupsVersion_ = model_->rowsVersion();
    }
    totals_ = listTotals(model_->rows(), list_, model_->shownScope(), *groups_);
    setText(totals_.rows > 0 ? totalsText(totals_, list_) : QString());
}

void TotalsLabel::recountMarks() {
    if (paused_ || !model_)
        return;
    countMarks(model_->rows(), totals_, model_->shownScope());
    setText(totals_.rows > 0 ? totalsText(totals_, list_) : QString());
}

} // namespace trevalo
