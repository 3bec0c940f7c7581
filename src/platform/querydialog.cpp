// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/querydialog.h"

#include "platform/settingsfile.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace vetcert {

namespace {

enum Column { ItemColumn, ComparisonColumn, ValueColumn };

QPushButton* button(const QString& text, const QString& name, QWidget* parent)
{
    auto* b = new QPushButton(text, parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

QString placeholder(const QbeItem& item)
{
    switch (item.kind) {
    case QbeKind::Integer:
        return u"число"_s;
    case QbeKind::Date:
        return u"дд.мм.гггг"_s;
    case QbeKind::Text:
        break;
    }
    return u"текст"_s;
}

} // namespace

QueryDialog::QueryDialog(const FileDef& file, std::vector<QbeItem> items, SettingsFile& settings, QString section,
                         QWidget* parent)
    : QDialog(parent), m_query(file, std::move(items)), m_settings(settings), m_section(std::move(section))
{
    setObjectName(u"QueryDialog"_s);
    setWindowTitle(u"Запрос по образцу"_s);

    m_table = new QTableWidget(0, 3, this);
    m_table->setObjectName(u"conditions"_s);
    m_table->setHorizontalHeaderLabels({u"Поле"_s, u"Условие"_s, u"Значение"_s});
    m_table->horizontalHeader()->setSectionResizeMode(ValueColumn, QHeaderView::Stretch);
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setMinimumWidth(520);

    auto* add = button(u"Добавить условие"_s, u"addCondition"_s, this);
    auto* remove = button(u"Удалить условие"_s, u"removeCondition"_s, this);
    auto* clear = button(u"Очистить"_s, u"clearConditions"_s, this);
    connect(add, &QPushButton::clicked, this, [this] { addRow({}); });
    connect(remove, &QPushButton::clicked, this, &QueryDialog::removeCurrentRow);
    connect(clear, &QPushButton::clicked, this, [this] { m_table->setRowCount(0); });
    auto* rowButtons = new QHBoxLayout;
    rowButtons->addWidget(add);
    rowButtons->addWidget(remove);
    rowButtons->addWidget(clear);
    rowButtons->addStretch();

    m_names = new QComboBox(this);
    m_names->setObjectName(u"savedQueries"_s);
    m_names->setEditable(true);
    m_names->setMinimumContentsLength(20);
    m_names->lineEdit()->setPlaceholderText(u"имя запроса"_s);
    auto* save = button(u"Сохранить"_s, u"saveQuery"_s, this);
    auto* load = button(u"Загрузить"_s, u"loadQuery"_s, this);
    auto* del = button(u"Удалить"_s, u"deleteQuery"_s, this);
    connect(save, &QPushButton::clicked, this, &QueryDialog::saveQuery);
    connect(load, &QPushButton::clicked, this, &QueryDialog::loadQuery);
    connect(del, &QPushButton::clicked, this, &QueryDialog::deleteQuery);
    auto* named = new QHBoxLayout;
    named->addWidget(new QLabel(u"Запрос:"_s, this));
    named->addWidget(m_names, 1);
    named->addWidget(save);
    named->addWidget(load);
    named->addWidget(del);

    m_error = new QLabel(this);
    m_error->setObjectName(u"error"_s);
    m_error->setWordWrap(true);
    m_error->setStyleSheet(u"color: #b00000"_s);

    auto* ok = button(u"ОК"_s, u"ok"_s, this);
    ok->setDefault(true);
    auto* cancel = button(u"Отмена"_s, u"cancel"_s, this);
    connect(ok, &QPushButton::clicked, this, &QueryDialog::takeConditions);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(ok);
    bottom->addWidget(cancel);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_table, 1);
    layout->addLayout(rowButtons);
    layout->addLayout(named);
    layout->addWidget(m_error);
    layout->addLayout(bottom);

    refreshNames({});
}

QueryDialog::~QueryDialog() = default;

void QueryDialog::addRow(const QbeCondition& c)
{
    const int row = m_table->rowCount();
    m_table->insertRow(row);
    auto* item = new QComboBox(m_table);
    item->setObjectName(u"item%1"_s.arg(row));
    for (const QbeItem& i : m_query.items())
        item->addItem(i.title);
    item->setCurrentIndex(c.item);
    auto* cmp = new QComboBox(m_table);
    cmp->setObjectName(u"comparison%1"_s.arg(row));
    cmp->addItems(comparisonTitles());
    cmp->setCurrentIndex(static_cast<int>(c.comparison));
    auto* value = new QLineEdit(c.value, m_table);
    value->setObjectName(u"value%1"_s.arg(row));
    // The value is typed as its item shows it: at most the item's width.
    auto fit = [this, value](int index) {
        if (index < 0 || index >= static_cast<int>(m_query.items().size()))
            return;
        const QbeItem& it = m_query.items()[static_cast<size_t>(index)];
        value->setPlaceholderText(placeholder(it));
        value->setMaxLength(
            it.kind == QbeKind::Date ? 10 : (it.width > 0 ? it.width + (it.kind == QbeKind::Integer) : 32767));
    };
    fit(c.item);
    connect(item, &QComboBox::currentIndexChanged, value, fit);
    m_table->setCellWidget(row, ItemColumn, item);
    m_table->setCellWidget(row, ComparisonColumn, cmp);
    m_table->setCellWidget(row, ValueColumn, value);
    m_table->setCurrentCell(row, ValueColumn);
}

void QueryDialog::removeCurrentRow()
{
    const int row = m_table->currentRow();
    if (row >= 0)
        m_table->removeRow(row);
}

void QueryDialog::setConditions(const std::vector<QbeCondition>& conditions)
{
    m_table->setRowCount(0);
    for (const QbeCondition& c : conditions)
        addRow(c);
}

std::vector<QbeCondition> QueryDialog::conditions() const
{
    std::vector<QbeCondition> out;
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const auto* item = qobject_cast<QComboBox*>(m_table->cellWidget(row, ItemColumn));
        const auto* cmp = qobject_cast<QComboBox*>(m_table->cellWidget(row, ComparisonColumn));
        const auto* value = qobject_cast<QLineEdit*>(m_table->cellWidget(row, ValueColumn));
        out.push_back({item->currentIndex(), static_cast<QbeComparison>(cmp->currentIndex()), value->text()});
    }
    return out;
}

void QueryDialog::showError(const QString& text)
{
    m_error->setText(text);
}

void QueryDialog::takeConditions()
{
    m_query.conditions() = conditions();
    QString error;
    const std::optional<QString> f = m_query.filter(&error);
    if (!f) {
        showError(error);
        return;
    }
    showError({});
    m_filter = *f;
    emit filterChosen(m_filter);
    accept();
}

void QueryDialog::refreshNames(const QString& current)
{
    m_names->clear();
    m_names->addItems(QueryByExample::savedNames(m_settings, m_section));
    m_names->setCurrentText(current);
}

void QueryDialog::saveQuery()
{
    const QString name = m_names->currentText().trimmed();
    if (name.isEmpty()) {
        showError(u"Введите имя запроса."_s);
        return;
    }
    m_query.conditions() = conditions();
    QString error;
    if (!m_query.filter(&error)) {
        showError(error);
        return;
    }
    m_query.save(m_settings, m_section, name);
    showError({});
    refreshNames(name);
}

void QueryDialog::loadQuery()
{
    const QString name = m_names->currentText().trimmed();
    if (!m_query.load(m_settings, m_section, name)) {
        showError(u"Нет запроса «%1»."_s.arg(name));
        return;
    }
    showError({});
    setConditions(m_query.conditions());
}

void QueryDialog::deleteQuery()
{
    const QString name = m_names->currentText().trimmed();
    if (name.isEmpty())
        return;
    QueryByExample::remove(m_settings, m_section, name);
    refreshNames({});
}

} // namespace vetcert
