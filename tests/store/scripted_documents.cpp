#include "scripted_documents.h"
#include "store_test_support.h"

namespace brindle::test {

namespace {

// A journaled document beside the plain text it must equal.
struct Typed {
    store::QueryJournal& journal;
    store::QueryJournal::Key key;
    QString text;

    void Edit(qsizetype position, qsizetype removed, const QString& inserted) {
        journal.Edit(key, position, removed, inserted);
        text.replace(position, removed, inserted);
    }
    void Type(const QString& typed) {
        for (qsizetype i = 0; i < typed.size(); ++i) {
            // A surrogate pair arrives whole, as an input method gives it.
            const qsizetype n = typed.at(i).isHighSurrogate() ? 2 : 1;
            Edit(text.size(), 0, typed.mid(i, n));
            i += n - 1;
        }
    }
};

} // namespace

QString QueryLines(int lines) {
    QString text;
    for (int i = 0; i < lines; ++i) {
        text += i % 7 == 0
                    ? QStringLiteral("-- 社員の一覧 %1\n").arg(i)
                    : QStringLiteral("SELECT id, name FROM employees WHERE id = %1\n").arg(i);
    }
    return text;
}

ScriptedDocuments WriteScriptedDocuments(store::QueryJournal& journal) {
    ScriptedDocuments kept;

    Typed untitled{journal, journal.Open(QStringLiteral("無題1"), QString()), QString()};
    untitled.Type(QStringLiteral("SELECT * FROM 社員\nWHERE 名前 = '😀'"));
    untitled.Edit(7, 1, QStringLiteral("id, 名前"));
    untitled.Edit(untitled.text.size() - 3, 3, QString());
    untitled.Type(QStringLiteral("'高橋'"));
    kept[QStringLiteral("無題1")] = {untitled.text, true};

    const QString path = QStringLiteral("/tmp/クエリ/report.sql");
    Typed file{journal, journal.Open(QStringLiteral("無題2"), QStringLiteral("select 1\n")),
               QStringLiteral("select 1\n")};
    file.text = QStringLiteral("select count(*)\nfrom orders\n");
    journal.Replace(file.key, file.text);
    journal.Rename(file.key, path);
    file.Edit(0, 6, QStringLiteral("SELECT"));
    kept[path] = {file.text, true};

    Typed closed{journal, journal.Open(QStringLiteral("無題3"), QString()), QString()};
    closed.Type(QStringLiteral("DELETE FROM t WHERE id = 7\n"));
    journal.Close(closed.key);
    kept[QStringLiteral("無題3")] = {closed.text, false};

    Typed blank{journal, journal.Open(QStringLiteral("無題4"), QString()), QString()};
    blank.Type(QStringLiteral("  \n\t"));
    journal.Close(blank.key);

    // Large: written whole once, then as edits after it.
    const QString dump = QStringLiteral("/tmp/dump.sql");
    Typed large{journal, journal.Open(dump, QueryLines(8'000)), QueryLines(8'000)};
    journal.Flush(kFlushWaitMs);
    large.Edit(large.text.size() / 2, 0, QStringLiteral("\n-- 途中に追加\n"));
    large.Type(QStringLiteral("SELECT 'end';"));
    journal.Flush(kFlushWaitMs);
    large.Edit(10, 5, QString());
    kept[dump] = {large.text, true};

    journal.Flush(kFlushWaitMs);
    return kept;
}

} // namespace brindle::test
