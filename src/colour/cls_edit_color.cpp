#include "colour/cls_edit_color.h"

#include "colour/colour_errors.h"
#include "colour/colour_passes.h"
#include "colour/keyword_file.h"
#include "colour/keyword_file_location.h"

#include <new>

namespace brindle {

clsEditColor::clsEditColor(ErrorBoxSink& errors) : m_errors(errors) {}

clsEditColor::clsEditColor(ErrorBoxSink& errors, QString keywordFilePath)
    : m_errors(errors), m_keywordFilePath(std::move(keywordFilePath)) {}

QString clsEditColor::CColor(const QString& vstrText) {
    try {
        QString text = FlattenRtf(vstrText);
        KeywordTable table;
        if (!LoadKeywords(table)) {
            return {};
        }
        QString result;
        if (!ColorKeywords(RemoveColors(std::move(text)), table, result)) {
            return {};
        }
        return result;
    } catch (const Error& error) {
        ShowErrMsg(error);
    } catch (const std::bad_alloc&) {
        ShowErrMsg(OutOfMemoryError());
    } catch (...) {
        ShowErrMsg(InternalError());
    }
    return {};
}

QString clsEditColor::FlattenRtf(QStringView text) const {
    return colour::FlattenRtf(text, m_tabSpaceNum);
}

bool clsEditColor::LoadKeywords(KeywordTable& table) {
    QString text;
    return ReadKeywordFile(text) && ParseKeywords(text, table);
}

bool clsEditColor::ReadKeywordFile(QString& text) {
    try {
        text = ReadKeywordFileText(KeywordFilePath());
        return true;
    } catch (const Error& error) {
        ShowErrMsg(error);
    } catch (const std::bad_alloc&) {
        ShowErrMsg(OutOfMemoryError());
    }
    return false;
}

bool clsEditColor::ParseKeywords(const QString& text, KeywordTable& table) {
    try {
        table = ParseKeywordTable(text);
        return true;
    } catch (const Error& error) {
        ShowErrMsg(error);
    } catch (const std::bad_alloc&) {
        ShowErrMsg(OutOfMemoryError());
    }
    return false;
}

QString clsEditColor::RemoveColors(QString text) {
    return colour::RemoveColors(std::move(text));
}

bool clsEditColor::ColorKeywords(QString text, const KeywordTable& table, QString& result) {
    try {
        result = colour::ColorKeywords(std::move(text), table);
        return true;
    } catch (const Error& error) {
        ShowErrMsg(error);
    } catch (const std::bad_alloc&) {
        ShowErrMsg(OutOfMemoryError());
    }
    return false;
}

void clsEditColor::ShowErrMsg(const Error& error) {
    try {
        m_errors.ShowErrMsg(error);
    } catch (...) {
        // The box is the only report there is; a failing box must not take
        // the editor down with it.
    }
}

QString clsEditColor::KeywordFilePath() const {
    if (!m_keywordFilePath.isEmpty()) {
        return m_keywordFilePath;
    }
    return brindle::KeywordFilePath(kColourKeywordFile);
}

} // namespace brindle
