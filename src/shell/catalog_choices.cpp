#include "shell/catalog_choices.h"

#include "colour/keyword_file.h"
#include "colour/keyword_file_location.h"
#include "colour/keyword_table.h"
#include "core/error.h"
#include "data/catalog_tree_model.h"
#include "data/identifier_quoting.h"

#include <QSet>

namespace brindle {

using completion::Choice;

CatalogChoices::CatalogChoices(catalog::CatalogTreeModel& model, QString keywordFilePath)
    : m_model(model), m_keywordFilePath(std::move(keywordFilePath)) {}

std::vector<Choice> CatalogChoices::Tables(const QString& group) {
    std::vector<Choice> choices;
    const bool qualify = group.isEmpty() && m_model.Grouped();
    for (const catalog::Table& table : m_model.Tables()) {
        if (!group.isEmpty() && table.group().compare(group, Qt::CaseInsensitive) != 0)
            continue;
        choices.push_back({table.name, catalog::QualifiedName(table, m_model.Rules(), qualify),
                           Choice::Kind::Table});
    }
    return choices;
}

bool CatalogChoices::IsGroup(const QString& name) {
    for (const catalog::Table& table : m_model.Tables()) {
        if (table.group().compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

const catalog::Table* CatalogChoices::Find(const completion::TableRef& ref) const {
    if (ref.name.isEmpty())
        return nullptr;
    const QString& name = ref.name.back();
    const QString group = ref.name.size() > 1 ? ref.name[ref.name.size() - 2] : QString();
    const catalog::Table* folded = nullptr;
    for (const catalog::Table& table : m_model.Tables()) {
        if (!group.isEmpty() && table.group().compare(group, Qt::CaseInsensitive) != 0)
            continue;
        if (table.name == name)
            return &table;
        // Unquoted names are folded by the database; the one the user meant
        // differs in case only.
        if (!folded && table.name.compare(name, Qt::CaseInsensitive) == 0)
            folded = &table;
    }
    return folded;
}

std::optional<std::vector<Choice>> CatalogChoices::Columns(const completion::TableRef& ref) {
    const catalog::Table* table = Find(ref);
    if (!table)
        return std::vector<Choice>{};
    const std::vector<catalog::Column>* columns = m_model.ColumnsOf(*table);
    if (!columns) {
        m_model.RequestColumns(*table);
        return std::nullopt;
    }
    std::vector<Choice> choices;
    choices.reserve(columns->size());
    for (const catalog::Column& column : *columns)
        choices.push_back(
            {column.name, catalog::QuotedName(column.name, m_model.Rules()), Choice::Kind::Column});
    return choices;
}

std::vector<Choice> CatalogChoices::Keywords() {
    // Read on every use, as the colouring reads it; a file that cannot be
    // read offers no keywords (the colouring already says why).
    std::vector<Choice> choices;
    try {
        QSet<QString> seen;
        for (const KeywordColor& entry :
             ParseKeywordTable(ReadKeywordFileText(m_keywordFilePath))) {
            const QString word = entry.Keyword.trimmed();
            if (word.isEmpty() || seen.contains(word.toUpper()) ||
                !std::all_of(word.begin(), word.end(),
                             [](QChar c) { return c.isLetterOrNumber() || c == u'_'; }))
                continue;
            seen.insert(word.toUpper());
            choices.push_back({word, word, Choice::Kind::Keyword});
        }
    } catch (const Error&) {
    }
    return choices;
}

} // namespace brindle
