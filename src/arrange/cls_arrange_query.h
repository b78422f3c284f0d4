#pragma once

#include "arrange/arrange_table.h"
#include "shell/error_box_sink.h"

#include <QString>

#include <optional>

namespace brindle {

// The query formatter: lays a query out by the arrange keyword table. The
// table is read from its file afresh on every call, so an edited file takes
// effect at once; nothing is kept between calls.
class clsArrangeQuery {
public:
    // KEYWORD_ARRANGE.CSV as KeywordFilePath finds it, on every call.
    explicit clsArrangeQuery(ErrorBoxSink& errors);
    clsArrangeQuery(ErrorBoxSink& errors, QString keywordFilePath);

    // The arranged query, or "" when the table could not be loaded or the
    // arrangement failed (the error box has then been shown) and for an
    // empty query. Never throws.
    QString CArrange(const QString& vstrQry);

private:
    bool LoadKeywords(ArrangeTable& table);
    bool ReadKeywordFile(QString& text);
    bool ParseKeywords(QStringView text, ArrangeTable& table);
    bool ArrangeText(const QString& query, const ArrangeTable& table, QString& result);
    // True without a failure; otherwise shows it in the error box.
    bool Reported(const std::optional<Error>& failure);
    void ShowErrMsg(const Error& error);

    ErrorBoxSink& m_errors;
    QString m_keywordFilePath; // empty: the user's copy or the installed one
};

} // namespace brindle
