#include "arrange/cls_arrange_query.h"

#include "arrange/arrange_text.h"
#include "colour/colour_errors.h"
#include "colour/keyword_file.h"
#include "colour/keyword_file_location.h"

#include <new>
#include <optional>

namespace brindle {

namespace {

// Runs one step and hands back what made it fail, so that no failure leaves
// the formatter and the caller's text is never touched.
template <typename Step> std::optional<Error> FailureOf(Step step) {
    try {
        step();
        return std::nullopt;
    } catch (const Error& error) {
        return error;
    } catch (const std::bad_alloc&) {
        return OutOfMemoryError();
    } catch (...) {
        return InternalError();
    }
}

} // namespace

clsArrangeQuery::clsArrangeQuery(ErrorBoxSink& errors) : m_errors(errors) {}

clsArrangeQuery::clsArrangeQuery(ErrorBoxSink& errors, QString keywordFilePath)
    : m_errors(errors), m_keywordFilePath(std::move(keywordFilePath)) {}

QString clsArrangeQuery::CArrange(const QString& vstrQry) {
    try {
        QString result;
        ArrangeTable table;
        if (LoadKeywords(table) && ArrangeText(vstrQry, table, result)) {
            return result;
        }
    } catch (...) {
        // Only the error box itself can get here; the query stays as it is.
    }
    return {};
}

bool clsArrangeQuery::LoadKeywords(ArrangeTable& table) {
    QString text;
    return ReadKeywordFile(text) && ParseKeywords(text, table);
}

bool clsArrangeQuery::ReadKeywordFile(QString& text) {
    return Reported(FailureOf([&] {
        text = ReadKeywordFileText(
            m_keywordFilePath.isEmpty() ? KeywordFilePath(kArrangeKeywordFile) : m_keywordFilePath);
    }));
}

bool clsArrangeQuery::ParseKeywords(QStringView text, ArrangeTable& table) {
    return Reported(FailureOf([&] { table = ParseArrangeTable(text); }));
}

bool clsArrangeQuery::ArrangeText(const QString& query, const ArrangeTable& table,
                                  QString& result) {
    return Reported(FailureOf([&] { result = brindle::ArrangeText(query, table); }));
}

bool clsArrangeQuery::Reported(const std::optional<Error>& failure) {
    if (failure) {
        ShowErrMsg(*failure);
        return false;
    }
    return true;
}

void clsArrangeQuery::ShowErrMsg(const Error& error) {
    m_errors.ShowErrMsg(error);
}

} // namespace brindle
