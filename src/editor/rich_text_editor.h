#pragma once

#include "editor/rtf_document.h"

#include <QPlainTextEdit>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QTextBlock;
class QTextCharFormat;

namespace brindle {

// The files of a drop, indexed from 1 as the drop event hands them over.
struct DropData {
    QStringList paths;
    int FilesCount() const { return static_cast<int>(paths.size()); }
    // Throws a subscript Error outside 1..FilesCount().
    QString Files(int index) const;
};

// The query editor control. Its plain text is the paragraphs joined by CR LF,
// and every position it reports or takes is a 0-based offset into that text,
// a CR LF counting as two characters. It keeps no RTF: TextRTF converts.
// Colours are display formats of the text, outside its undo history.
class RichTextEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit RichTextEditor(QWidget* parent = nullptr);

    QString Text() const;
    // Replaces the content; CR LF, lone CR and lone LF each end a paragraph.
    void setText(const QString& text);

    // Replaces the whole content as one undoable edit (only the range that
    // differs is touched) and raises the change event.
    void ReplaceText(const QString& text);

    QString TextRTF() const;
    void setTextRTF(const QString& rtf);

    int SelStart() const;
    // Puts the caret at an offset with nothing selected; past the end goes to
    // the end. A negative offset is refused with an Error.
    void setSelStart(int offset);
    int SelLength() const;
    void setSelLength(int length);
    QString SelText() const;
    // Text put in at the caret, over the selection, as a paste puts it: one
    // undo step.
    void InsertPlainText(const QString& text);
    int TextLength() const;

    QString FontName() const;
    void setFontName(const QString& name);
    double FontSize() const;
    // Points, fractions allowed; outside 1..1638 refused with an Error.
    void setFontSize(double points);
    bool FontBold() const;
    void setFontBold(bool bold);
    bool FontItalic() const;
    void setFontItalic(bool italic);

    void SetFocus();
    void FreezePainting();
    void ResumePainting();

    // The coloured spans as shown (offsets in the '\n'-joined paragraphs).
    std::vector<rtf::ColourRun> ColourRuns() const;

    // Which paragraphs the edits since the last call replaced: paragraphs
    // [first, first + removed) of the text then became [first, first +
    // added) of the text now. Nothing when the text has not changed.
    struct ParagraphChange {
        int first = 0;
        int removed = 0;
        int added = 0;
        friend bool operator==(const ParagraphChange&, const ParagraphChange&) = default;
    };
    std::optional<ParagraphChange> TakeParagraphChange();
    int ParagraphCount() const;
    // The whole text as the blocks hold it (no blank for a no-break space),
    // QChar::ParagraphSeparator between paragraphs.
    QString RawText() const;
    // Where the colours of a paragraph come from (offsets in the paragraph,
    // indexes into `colours`), for ShowParagraphColours.
    using ParagraphRuns = std::function<const std::vector<rtf::ColourRun>&(int)>;
    void SetColourSource(ParagraphRuns runsOf, std::vector<rtf::Rgb> colours);
    // Drops the source: the blocks keep what they show now.
    void ForgetColourSource();
    // Shows paragraphs [first, first + count) in their colours from the
    // source; the text and its undo history are untouched. A long range is
    // coloured as it comes into view, so opening a long script does not
    // colour what nobody looks at.
    void ShowParagraphColours(int first, int count);
    // Sees a whole text that setText is about to show ('\n' between its
    // paragraphs) and may change it as the Change handling would at once
    // (tabs into blanks), so that a long text goes in only once. Finished()
    // follows when the text is in and its Change handled.
    class TextShaper {
    public:
        virtual ~TextShaper() = default;
        virtual void Shape(QString& paragraphs) = 0;
        virtual void Finished() = 0;
    };
    void SetTextShaper(TextShaper* shaper) { m_shaper = shaper; }
    // Replaces paragraphs [first, first + texts.size()) by `texts` in one
    // edit, inside the edit being made (a Change handler's, so one undo takes
    // back both); the caret is left to the caller.
    void ReplaceParagraphs(int first, const QStringList& texts);
    QColor ColourOf(int colourIndex) const;
    // Room to the left of the text for a margin drawn beside it (the line
    // numbers), in pixels.
    void SetLeftMargin(int pixels) { setViewportMargins(pixels, 0, 0, 0); }

signals:
    // Before setText puts in a whole text of `paragraphs` paragraphs.
    void AboutToSetText(int paragraphs);
    // After every change of the content by the user or by a write of Text.
    // A change caused while a Change handler runs is not reported again.
    void Change();
    void OLEDragDrop(const brindle::DropData& data);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void OnDocumentChanged();
    void ShowWholeText(const QString& paragraphs);
    QString Paragraphs() const;
    int OffsetFromPosition(int position) const;
    int PositionFromOffset(int offset, bool intoNextParagraph) const;
    void ApplyColours(const rtf::RtfContent& content);
    void ReplaceChangedRange(const QString& current, const QString& wanted);
    void ApplyFont(const QFont& font);
    void TrackContentsChange(int position, int removed, int added);
    // Colours the blocks in view that still wait for their colours.
    void ColourBlocksInView();
    void ColourBlock(QTextBlock& block, const std::vector<QTextCharFormat>& formats);
    // One format per colour of the table, entry 0 the default.
    std::vector<QTextCharFormat> ColourFormats() const;

    int m_changeDepth = 0;
    int m_silent = 0;
    int m_settingText = 0;
    // While a key is handled, whether it has edited the text: a key that
    // edits nothing (a move, a selection) raises no change.
    bool m_inKey = false;
    bool m_keyEdited = false;
    std::vector<rtf::Rgb> m_colourTable;
    TextShaper* m_shaper = nullptr;
    // The paragraphs changed since TakeParagraphChange, and how many
    // paragraphs the text had after the last change seen.
    std::optional<ParagraphChange> m_pendingChange;
    int m_blockCount = 1;
    // A block whose user state is not m_colourGeneration waits for its
    // colours from m_runsOf (new blocks start at -1).
    ParagraphRuns m_runsOf;
    int m_colourGeneration = 0;
};

} // namespace brindle
