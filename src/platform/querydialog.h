// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/querybyexample.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QTableWidget;

namespace vetcert {

class SettingsFile;

/// The query-by-example window of a list: a table of conditions (item, comparison, value), the
/// named queries of the list kept in the settings file under the list's window name, and OK, which
/// hands the filter expression to the list through filterChosen(). Opened with open(), never exec().
class QueryDialog : public QDialog
{
    Q_OBJECT

public:
    /// `section` is the list's window name ("Browselicenziy").
    QueryDialog(const FileDef& file, std::vector<QbeItem> items, SettingsFile& settings, QString section,
                QWidget* parent = nullptr);
    ~QueryDialog() override;

    /// Shows these conditions in the table.
    void setConditions(const std::vector<QbeCondition>& conditions);
    /// The conditions as the table holds them.
    std::vector<QbeCondition> conditions() const;
    /// The filter of the last OK.
    const QString& filterText() const { return m_filter; }

signals:
    /// OK with conditions that all could be taken: the filter expression (empty: every record).
    void filterChosen(const QString& filter);

private:
    void addRow(const QbeCondition& c);
    void removeCurrentRow();
    void takeConditions();
    void saveQuery();
    void loadQuery();
    void deleteQuery();
    void refreshNames(const QString& current);
    void showError(const QString& text);

    QueryByExample m_query;
    SettingsFile& m_settings;
    QString m_section;
    QString m_filter;
    QTableWidget* m_table;
    QComboBox* m_names;
    QLabel* m_error;
};

} // namespace vetcert
