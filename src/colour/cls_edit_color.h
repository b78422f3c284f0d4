#pragma once

#include "colour/keyword_table.h"
#include "shell/error_box_sink.h"

#include <QString>
#include <QStringView>

namespace brindle {

// Colours the query editor's RTF by the colour keyword table: keywords in the
// colours of their class, comments in green. The table file is read afresh on
// every call, so an edited file counts from the next keystroke on.
class clsEditColor {
public:
    // Uses KEYWORD_COLOR.CSV as KeywordFilePath finds it, on every call.
    explicit clsEditColor(ErrorBoxSink& errors);
    clsEditColor(ErrorBoxSink& errors, QString keywordFilePath);

    // Blanks per tab; 4 on creation, stored as given.
    qint16 TabSpaceNum() const { return m_tabSpaceNum; }
    void setTabSpaceNum(qint16 vintNum) { m_tabSpaceNum = vintNum; }

    // The coloured RTF, or an empty string when the keyword table could not be
    // used or colouring failed; the failure has then been shown through the
    // sink. Never throws.
    QString CColor(const QString& vstrText);

private:
    QString FlattenRtf(QStringView text) const;
    bool LoadKeywords(KeywordTable& table);
    bool ReadKeywordFile(QString& text);
    bool ParseKeywords(const QString& text, KeywordTable& table);
    static QString RemoveColors(QString text);
    bool ColorKeywords(QString text, const KeywordTable& table, QString& result);
    void ShowErrMsg(const Error& error);

    QString KeywordFilePath() const;

    ErrorBoxSink& m_errors;
    QString m_keywordFilePath; // empty: the user's copy or the installed one
    qint16 m_tabSpaceNum = 4;
};

} // namespace brindle
