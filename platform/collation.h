#pragma once

#include <QByteArrayView>
#include <QCollator>
#include <QLocale>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <functional>
#include <vector>

namespace zorv::text {

// The order of sorted lists: the locale's collation with case ignored, so that É sorts
// with E and Ò with O. Qt compares plain code points under the C/POSIX locale, which
// puts every accented letter after Z; that locale takes the neutral collation instead.
class Collation {
public:
    explicit Collation(const QLocale &locale);
    // The system's collation locale (LC_ALL, LC_COLLATE, LANG), made once.
    static const Collation &system();

    // The locale whose rules are applied ("en" stands for the neutral rules).
    QString localeName() const { return m_collator.locale().name(); }

    // Below, equal to or above zero; texts differing only in case are equal.
    int compare(QStringView a, QStringView b) const;

    // The positions 0 to n - 1 in collation order; equal texts keep their order.
    std::vector<quint32> order(const QStringList &texts) const;
    // The same for Windows-1252 texts: text(i) gives the i-th, and must stay valid until
    // the call returns.
    std::vector<quint32> order(quint32 n, const std::function<QByteArrayView(quint32)> &text) const;

private:
    void buildRanks();
    template <class View, class TextOf>
    std::vector<quint32> orderTexts(quint32 n, const TextOf &text) const;

    QCollator m_collator;
    // The rank of each ASCII character whose texts order as plain rank sequences in this
    // collation (most: letters, digits, space, punctuation); 0 for the others, and above
    // ASCII. Texts made only of ranked characters sort without the collator.
    std::array<quint8, 256> m_rank{};
};

} // namespace zorv::text
