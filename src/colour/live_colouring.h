#pragma once

#include "colour/incremental_colouring.h"
#include "colour/keyword_table.h"
#include "editor/rtf_document.h"

#include <QString>

#include <memory>
#include <vector>

namespace brindle::colour {

// Decides, change by change, whether the editor's colours can be brought up
// to date paragraph by paragraph or need the full pass over the whole text,
// and keeps the per-paragraph state in step with the text.
//
// The keyword file is read on every change, as the full pass reads it; the
// per-paragraph state is kept only while its content and the font stay what
// they were when the state was built, and the table allows it
// (LocalColouringExact).
class LiveColouring {
public:
    // `keywordFilePath` empty: KEYWORD_COLOR.CSV as KeywordFilePath finds it.
    explicit LiveColouring(QString keywordFilePath = {});
    ~LiveColouring();
    LiveColouring(const LiveColouring&) = delete;
    LiveColouring& operator=(const LiveColouring&) = delete;

    // Reads the keyword file afresh. Returns the per-paragraph colouring when
    // the change can go through it, null when the full pass must colour it
    // (the file cannot be read or parsed, which the full pass reports, or a
    // table that only the full pass colours exactly). `reset` is set when the
    // state must first be rebuilt from the whole text: the table's content or
    // the font differ from the last ones, or it was never built.
    IncrementalColouring* Prepare(const QString& fontName, double pointSize, bool& reset);
    // The full pass has coloured the text: the state is rebuilt at the next
    // Prepare.
    void Forget() { m_inStep = false; }
    // Marks the state as built for the table Prepare read.
    void Built() { m_inStep = true; }

    // The colour table the full pass writes, entry 0 the default colour.
    const std::vector<rtf::Rgb>& Colours() const { return m_colours; }

private:
    QString KeywordFilePath() const;

    QString m_keywordFilePath;
    std::vector<rtf::Rgb> m_colours; // read once: it never changes
    QString m_tableText;
    QString m_fontName;
    double m_pointSize = 0;
    bool m_exact = false;
    bool m_inStep = false;
    std::unique_ptr<IncrementalColouring> m_colouring;
};

} // namespace brindle::colour
