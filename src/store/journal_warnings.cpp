#include "store/journal_warnings.h"

#include <QMetaObject>

namespace brindle {

void JournalWarnings::Post(const store::JournalProblem& problem) {
    QMetaObject::invokeMethod(
        this, [this, problem] { Receive(problem); }, Qt::QueuedConnection);
}

void JournalWarnings::SetSink(Sink sink) {
    m_sink = std::move(sink);
    if (!m_sink)
        return;
    std::vector<store::JournalProblem> held;
    held.swap(m_held);
    for (const store::JournalProblem& problem : held)
        m_sink(problem);
}

void JournalWarnings::Receive(const store::JournalProblem& problem) {
    if (m_sink)
        m_sink(problem);
    else
        m_held.push_back(problem);
}

QString JournalProblemText(const store::JournalProblem& problem) {
    using Kind = store::JournalProblem::Kind;
    QString text;
    switch (problem.kind) {
    case Kind::MovedAside:
        text = QStringLiteral(
            "クエリの保存先が壊れていたため、別の名前で退避して新しく作り直しました。\n"
            "退避したファイル: ");
        break;
    case Kind::Unavailable:
        text = QStringLiteral(
            "クエリの保存先を開けません。入力したクエリは、保存先が使えるようになるまで"
            "ディスクに保存されません。\n");
        break;
    case Kind::WriteFailed:
        text = QStringLiteral("クエリを保存できません。ディスクの空きを確認してください。"
                              "入力はそのまま続けられ、保存できるようになると再開します。\n");
        break;
    case Kind::Resumed:
        return QStringLiteral("クエリの保存を再開しました。");
    }
    return text + problem.detail;
}

} // namespace brindle
