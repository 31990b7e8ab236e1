// SPDX-License-Identifier: GPL-2.0-or-later
#pragma once

#include "results/Marking.h"
#include "results/ResultTotals.h"
#include "ui/ElidedLabel.h"

#include <QLabel>
#include <QObject>
#include <QString>

#include <cstdint>
#include <functional>
#include <memory>

class QAction;
class QMenu;

namespace trevalo {

class FileCommandsHost;
class ResultListModel;

// The marking commands that keep files: "Mark duplicates, keep one per group" with the rule it
// keeps by (remembered), and the row menu's marking by folder and by pattern. Each acts on the
// visible list's rows as one change of its model; none marks a kept file.
class MarkCommands : public QObject {
    Q_OBJECT
public:
    MarkCommands(FileCommandsHost& host, QWidget* window);

    // Adds the commands to the file menu: keep-one and its rule after "Mark newer files for
    // deletion", the folder and pattern commands at the end. Ctrl+D works in the whole window.
    void addToFileMenu(QMenu* fileMenu);

    // "Mark by pattern...": the prompt gets a function telling how many rows a pattern would
    // mark, and returns the pattern to apply or an empty text. Tests set a hook so that
    // nothing modal opens.
    using PatternPrompt = std::function<QString(const std::function<QString(const QString&)>&)>;
    void setPatternPrompt(PatternPrompt prompt) { patternPrompt_ = std::move(prompt); }

    // The visible list changed: keep-one applies to "Duplicates" only, also by its key.
    void listShown(int list);

    KeepRule keepRule() const { return rule_; }
    void setKeepRule(KeepRule rule);

    // In "Duplicates": marks every row of each group but the one the rule keeps.
    void keepOnePerGroup();
    // Marks (or clears) every row in the folder of the selected row.
    void setFolderMarks(bool marked);
    void markByPattern();
    // The text the pattern prompt shows for a pattern: how many rows it would mark.
    QString patternCountText(const QString& pattern) const;

private:
    // The file menu is opening: the commands that need "Duplicates" or a selected row.
    void menuOpening();

    FileCommandsHost& w_;
    QWidget* window_;
    KeepRule rule_ = KeepRule::Oldest;
    PatternPrompt patternPrompt_;
    QAction* keepOneAction_ = nullptr;
    QMenu* ruleMenu_ = nullptr;
    QAction* markFolderAction_ = nullptr;
    QAction* unmarkFolderAction_ = nullptr;
};

// The status bar's totals of the visible list: rows, groups, the reclaimable size of
// "Duplicates", and the marked rows with their size. Marks are recounted as they change; the
// rest when the list's rows change, except while paused (a search filling the lists).
class TotalsLabel : public ElidedLabel {
    Q_OBJECT
public:
    explicit TotalsLabel(QWidget* parent = nullptr);

    // Shows the totals of a list and follows its changes.
    void showList(ResultListModel* model, int list);
    void setPaused(bool paused);
    // Counts everything again.
    void recount();

private:
    void recountMarks();

    ResultListModel* model_ = nullptr;
    int list_ = 0;
    bool paused_ = false;
    ListTotals totals_;
    // The groups of the list's rows, numbered once per change of the rows (a filter's text
    // changes nothing there).
    std::unique_ptr<GroupNumbers> groups_;
    std::uint64_t groupsVersion_ = 0;
    QList<QMetaObject::Connection> connections_;
};

} // namespace trevalo
