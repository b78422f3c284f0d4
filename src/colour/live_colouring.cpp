#include "colour/live_colouring.h"

#include "colour/colour_passes.h"
#include "colour/keyword_file.h"
#include "colour/keyword_file_location.h"
#include "colour/paragraph_colouring.h"
#include "core/error.h"

#include <new>

namespace brindle::colour {

namespace {

std::vector<rtf::Rgb> SwitchColours() {
    const QString table = u"{" + kColourTable.toString() + u"}";
    return rtf::ReadRtf(table).colours;
}

} // namespace

LiveColouring::LiveColouring(QString keywordFilePath)
    : m_keywordFilePath(std::move(keywordFilePath)), m_colours(SwitchColours()) {}

LiveColouring::~LiveColouring() = default;

QString LiveColouring::KeywordFilePath() const {
    if (!m_keywordFilePath.isEmpty())
        return m_keywordFilePath;
    return brindle::KeywordFilePath(kColourKeywordFile);
}

IncrementalColouring* LiveColouring::Prepare(const QString& fontName, double pointSize,
                                             bool& reset) {
    reset = false;
    QString text;
    try {
        text = ReadKeywordFileText(KeywordFilePath());
    } catch (const Error&) {
        // The full pass reads it again and shows why it cannot.
        m_inStep = false;
        return nullptr;
    } catch (const std::bad_alloc&) {
        m_inStep = false;
        return nullptr;
    }
    if (!m_colouring || text != m_tableText || fontName != m_fontName || pointSize != m_pointSize) {
        m_inStep = false;
        m_colouring.reset();
        m_tableText = text;
        m_fontName = fontName;
        m_pointSize = pointSize;
        try {
            const KeywordTable table = ParseKeywordTable(text);
            m_exact = LocalColouringExact(table, fontName, pointSize);
            if (m_exact)
                m_colouring = std::make_unique<IncrementalColouring>(table);
        } catch (const Error&) {
            m_exact = false;
        } catch (const std::bad_alloc&) {
            m_exact = false;
        }
        // A table that cannot be parsed is read again next time: the full
        // pass shows its box on every change.
        if (!m_exact)
            m_tableText.clear();
    }
    if (!m_colouring)
        return nullptr;
    reset = !m_inStep;
    return m_colouring.get();
}

} // namespace brindle::colour
