#pragma once

#include "editor/completion_popup.h"

#include <functional>

namespace brindle {

namespace catalog {
class CatalogTreeModel;
struct Table;
} // namespace catalog

// The completion's names: the tables and columns of the catalog the
// "オブジェクト" pane holds, and the keywords of the colour keyword file.
class CatalogChoices final : public completion::ChoiceSource {
public:
    // An empty path: the colour keyword file the colouring reads.
    CatalogChoices(catalog::CatalogTreeModel& model, QString keywordFilePath = {});

    std::vector<completion::Choice> Tables(const QString& group) override;
    bool IsGroup(const QString& name) override;
    std::optional<std::vector<completion::Choice>>
    Columns(const completion::TableRef& ref) override;
    std::vector<completion::Choice> Keywords() override;

private:
    const catalog::Table* Find(const completion::TableRef& ref) const;

    catalog::CatalogTreeModel& m_model;
    QString m_keywordFilePath;
};

} // namespace brindle
