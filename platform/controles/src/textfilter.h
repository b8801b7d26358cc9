#pragma once

#include <QString>
#include <QStringView>

namespace Kit::Internal {

// What a quick filter looks for: a text found inside a cell with accents and letter case
// aside ("jose" finds "JOSÉ", "Pena" finds "Peña"). Each character is folded through one table
// of the whole Basic Multilingual Plane, built once, so that a cell is searched where it lies,
// without a folded copy of it: a million rows are searched in a few tens of milliseconds.
class TextFilter
{
public:
    TextFilter() = default;
    explicit TextFilter(QStringView text);

    bool isEmpty() const { return m_folded.isEmpty(); }
    const QString &folded() const { return m_folded; }
    bool foundIn(QStringView text) const;
    // Whether every text this filter finds, `wider` also finds: this one looks for more.
    bool narrows(const TextFilter &wider) const;

    bool operator==(const TextFilter &other) const { return m_folded == other.m_folded; }

private:
    QString m_folded;
};

} // namespace Kit::Internal
