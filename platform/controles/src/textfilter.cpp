#include "textfilter.h"

#include <array>
#include <memory>

namespace Kit::Internal {
namespace {

using FoldTable = std::array<char16_t, 0x10000>;

// A letter's base letter, through as many canonical decompositions as it takes ("ǖ" → "ü" →
// "u"); other characters stand for themselves.
char16_t baseOf(char16_t character)
{
    QChar letter(character);
    while (letter.decompositionTag() == QChar::Canonical) {
        const QString parts = letter.decomposition();
        if (parts.isEmpty() || parts.front().isSurrogate() || parts.front() == letter)
            break;
        letter = parts.front();
    }
    return letter.unicode();
}

std::unique_ptr<const FoldTable> buildFoldTable()
{
    auto table = std::make_unique<FoldTable>();
    for (char32_t code = 0; code < 0x10000; ++code) {
        const auto character = char16_t(code);
        if (QChar::isSurrogate(code)) {
            (*table)[code] = character;
            continue;
        }
        (*table)[code] = QChar(baseOf(character)).toCaseFolded().unicode();
    }
    return table;
}

const FoldTable &foldTable()
{
    static const std::unique_ptr<const FoldTable> table = buildFoldTable();
    return *table;
}

} // namespace

TextFilter::TextFilter(QStringView text)
{
    const FoldTable &fold = foldTable();
    m_folded.resize(text.size());
    for (qsizetype at = 0; at < text.size(); ++at)
        m_folded[at] = QChar(fold[text[at].unicode()]);
}

bool TextFilter::foundIn(QStringView text) const
{
    const qsizetype length = m_folded.size();
    if (length == 0)
        return true;
    const FoldTable &fold = foldTable();
    const char16_t *needle = reinterpret_cast<const char16_t *>(m_folded.constData());
    const char16_t *cell = text.utf16();
    for (qsizetype start = 0; start + length <= text.size(); ++start) {
        if (fold[cell[start]] != needle[0])
            continue;
        qsizetype matched = 1;
        while (matched < length && fold[cell[start + matched]] == needle[matched])
            ++matched;
        if (matched == length)
            return true;
    }
    return false;
}

bool TextFilter::narrows(const TextFilter &wider) const
{
    return m_folded.contains(wider.m_folded);
}

} // namespace Kit::Internal
