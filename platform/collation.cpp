#include "collation.h"

#include "text.h"

#include <QHash>

#include <algorithm>
#include <numeric>

namespace zorv::text {
namespace {

QLocale withCollation(const QLocale &locale)
{
    // English has no rules of its own: it is the neutral (root) collation.
    if (locale.language() == QLocale::C)
        return QLocale(QLocale::English, QLocale::UnitedStates);
    return locale;
}

using Ranks = std::array<quint8, 256>;
inline quint8 rankIn(const Ranks &ranks, char c) { return ranks[static_cast<unsigned char>(c)]; }
inline quint8 rankIn(const Ranks &ranks, QChar c) { return c.unicode() < 256 ? ranks[c.unicode()] : 0; }

inline QString asString(QByteArrayView v) { return fromCp1252(v); }
inline QStringView asString(QStringView v) { return v; }
inline QString ownString(QByteArrayView v) { return fromCp1252(v); }
inline QString ownString(QStringView v) { return v.toString(); }

int sign(int v) { return (v > 0) - (v < 0); }

struct PrefixKey {
    quint64 key;
    quint64 second; // the second block of eight characters, for the first sort only
    quint32 index;
    quint32 size; // of the text, in characters
};

// Blocks 3 and 4 of each text, made with the first two: most names end within 32
// characters, so sorting runs of equal beginnings needs no second look at the texts.
constexpr qsizetype kKeptBlocks = 4;
using LaterBlocks = std::array<quint64, kKeptBlocks - 2>;

} // namespace

Collation::Collation(const QLocale &locale) : m_collator(withCollation(locale))
{
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
    buildRanks();
}

const Collation &Collation::system()
{
    static const Collation collation(QLocale::system().collation());
    return collation;
}

int Collation::compare(QStringView a, QStringView b) const
{
    return m_collator.compare(a, b);
}

// Most texts are plain ASCII names and numbers. Where every ASCII character weighs one
// step of its own (a and A the same step) and no two of them combine, such texts compare
// as their sequences of steps, which sorts a million rows far faster than collation keys.
// Characters that combine in this locale (Czech "ch", Danish "aa"...) or weigh nothing
// are left out and go through the collator.
void Collation::buildRanks()
{
    std::vector<char16_t> chars;
    for (char16_t c = 0x20; c < 0x7f; ++c)
        chars.push_back(c);
    const auto one = [](const char16_t &c) { return QStringView(&c, 1); };
    for (;;) {
        std::erase_if(chars, [&](char16_t c) {
            const char16_t twice[2] = {c, c};
            return compare(QStringView(twice, 2), one(c)) <= 0;
        });
        std::stable_sort(chars.begin(), chars.end(),
                         [&](const char16_t &a, const char16_t &b) { return compare(one(a), one(b)) < 0; });
        m_rank.fill(0);
        quint8 step = 0;
        for (size_t i = 0; i < chars.size(); ++i) {
            if (i == 0 || compare(one(chars[i - 1]), one(chars[i])) != 0)
                ++step;
            m_rank[chars[i]] = step;
        }

        // Every two-character text must fall where its steps put it.
        using Pair = std::array<char16_t, 2>;
        std::vector<Pair> pairs;
        pairs.reserve(chars.size() * chars.size());
        for (char16_t a : chars)
            for (char16_t b : chars)
                pairs.push_back({a, b});
        const auto steps = [&](const Pair &p) { return m_rank[p[0]] * 256 + m_rank[p[1]]; };
        std::stable_sort(pairs.begin(), pairs.end(), [&](const Pair &a, const Pair &b) { return steps(a) < steps(b); });
        std::vector<char16_t> wrong;
        for (size_t i = 1; i < pairs.size(); ++i) {
            const Pair &a = pairs[i - 1];
            const Pair &b = pairs[i];
            const int wanted = steps(a) == steps(b) ? 0 : -1;
            if (sign(compare(QStringView(a.data(), 2), QStringView(b.data(), 2))) != wanted)
                wrong.insert(wrong.end(), {a[0], a[1], b[0], b[1]});
        }
        if (wrong.empty())
            return;
        std::erase_if(chars, [&](char16_t c) { return std::find(wrong.begin(), wrong.end(), c) != wrong.end(); });
    }
}

template <class View, class TextOf>
std::vector<quint32> Collation::orderTexts(quint32 n, const TextOf &text) const
{
    // Eight ranks from `offset`, as many as there are, the rest zero.
    const auto prefix = [&](View v, qsizetype offset) {
        const qsizetype count = std::clamp<qsizetype>(v.size() - offset, 0, 8);
        quint64 key = 0;
        for (qsizetype i = 0; i < count; ++i)
            key = (key << 8) | rankIn(m_rank, v[offset + i]);
        return count == 0 ? quint64(0) : key << (8 * (8 - count));
    };

    std::vector<PrefixKey> fast;
    std::vector<LaterBlocks> later; // made when a text is longer than 16
    std::vector<quint32> slow;
    fast.reserve(n);
    for (quint32 i = 0; i < n; ++i) {
        const View v = text(i);
        std::array<quint64, kKeptBlocks> blocks{};
        const qsizetype kept = std::min(v.size(), kKeptBlocks * 8);
        bool ranked = true;
        for (qsizetype j = 0; j < kept && ranked; ++j) {
            const quint64 r = rankIn(m_rank, v[j]);
            blocks[j / 8] |= r << (56 - 8 * (j % 8));
            ranked = r != 0;
        }
        if (!ranked || !std::all_of(v.begin() + kept, v.end(), [&](auto c) { return rankIn(m_rank, c) != 0; })) {
            slow.push_back(i);
            continue;
        }
        fast.push_back({blocks[0], blocks[1], i, quint32(v.size())});
        if (v.size() > 16) {
            if (later.empty())
                later.resize(n);
            std::copy(blocks.begin() + 2, blocks.end(), later[i].begin());
        }
    }

    // Ranked texts: names share their first eight characters often (one surname, many
    // customers), so the first sort takes sixteen, and only runs equal in both are
    // sorted further, eight characters at a time.
    const auto byKey = [](const PrefixKey &a, const PrefixKey &b) { return a.key < b.key; };
    std::stable_sort(fast.begin(), fast.end(), [](const PrefixKey &a, const PrefixKey &b) {
        return a.key != b.key ? a.key < b.key : a.second < b.second;
    });
    struct Run {
        size_t begin, end;
        qsizetype offset; // of the block the run is already sorted by
    };
    std::vector<Run> runs;
    const auto pushRuns = [&](size_t begin, size_t end, qsizetype offset, auto same) {
        size_t start = begin;
        for (size_t i = begin + 1; i <= end; ++i) {
            if (i == end || !same(fast[start], fast[i])) {
                if (i - start > 1)
                    runs.push_back({start, i, offset});
                start = i;
            }
        }
    };
    pushRuns(0, fast.size(), 8, [](const PrefixKey &a, const PrefixKey &b) {
        return a.key == b.key && a.second == b.second;
    });
    while (!runs.empty()) {
        const Run run = runs.back();
        runs.pop_back();
        const qsizetype next = run.offset + 8;
        const auto first = fast.begin() + run.begin;
        const auto last = fast.begin() + run.end;
        if (std::none_of(first, last, [&](const PrefixKey &k) { return k.size > next; }))
            continue; // all ended in the blocks seen, and equal in them: the same text
        for (auto k = first; k != last; ++k)
            k->key = next < kKeptBlocks * 8 ? later[k->index][next / 8 - 2] : prefix(text(k->index), next);
        if (std::all_of(first, last, [&](const PrefixKey &k) { return k.key == first->key; })) {
            runs.push_back({run.begin, run.end, next}); // the padding at the end of names
            continue;
        }
        if (last - first <= 16) {
            // Most runs are a few rows of one customer: no buffer for them.
            for (auto i = first + 1; i != last; ++i)
                for (auto j = i; j != first && byKey(*j, *(j - 1)); --j)
                    std::iter_swap(j, j - 1);
        } else {
            std::stable_sort(first, last, byKey);
        }
        pushRuns(run.begin, run.end, next, [](const PrefixKey &a, const PrefixKey &b) { return a.key == b.key; });
    }

    std::vector<quint32> out;
    out.reserve(n);
    if (slow.empty()) {
        for (const PrefixKey &k : fast)
            out.push_back(k.index);
        return out;
    }

    // The others by collation keys, made once for each distinct text.
    QHash<View, quint32> seen;
    std::vector<QString> distinct;
    std::vector<std::pair<quint32, quint32>> slowKeys; // distinct text, position
    slowKeys.reserve(slow.size());
    for (quint32 i : slow) {
        const View v = text(i);
        auto it = seen.constFind(v);
        if (it == seen.constEnd()) {
            it = seen.insert(v, quint32(distinct.size()));
            distinct.push_back(ownString(v));
        }
        slowKeys.push_back({*it, i});
    }
    std::vector<QCollatorSortKey> keys;
    keys.reserve(distinct.size());
    for (const QString &s : distinct)
        keys.push_back(m_collator.sortKey(s));
    std::vector<quint32> byCollation(distinct.size());
    std::iota(byCollation.begin(), byCollation.end(), 0);
    std::stable_sort(byCollation.begin(), byCollation.end(),
                     [&](quint32 a, quint32 b) { return keys[a].compare(keys[b]) < 0; });
    std::vector<quint32> place(distinct.size());
    quint32 step = 0;
    for (size_t j = 0; j < byCollation.size(); ++j) {
        if (j > 0 && keys[byCollation[j - 1]].compare(keys[byCollation[j]]) != 0)
            ++step;
        place[byCollation[j]] = step;
    }
    std::stable_sort(slowKeys.begin(), slowKeys.end(), [&](const auto &a, const auto &b) {
        return place[a.first] < place[b.first];
    });

    // Merged: each of the others goes after the ranked texts that sort before it (on a
    // tie, the one that came first), found by galloping from where the last one went.
    size_t pos = 0;
    const size_t f = fast.size();
    for (const auto &slowKey : slowKeys) {
        const quint32 index = slowKey.second;
        const QString &s = distinct[slowKey.first];
        const auto before = [&](const PrefixKey &k) {
            const int c = compare(asString(text(k.index)), s);
            return c < 0 || (c == 0 && k.index < index);
        };
        size_t lo = pos;
        size_t hi = pos;
        for (size_t stride = 1; lo < f; stride *= 2) {
            hi = std::min(f, lo + stride);
            if (!before(fast[hi - 1]))
                break;
            lo = hi;
        }
        const size_t to = size_t(std::partition_point(fast.begin() + lo, fast.begin() + std::max(lo, hi), before)
                                 - fast.begin());
        for (; pos < to; ++pos)
            out.push_back(fast[pos].index);
        out.push_back(index);
    }
    for (; pos < f; ++pos)
        out.push_back(fast[pos].index);
    return out;
}

std::vector<quint32> Collation::order(const QStringList &texts) const
{
    return orderTexts<QStringView>(quint32(texts.size()), [&](quint32 i) { return QStringView(texts[i]); });
}

std::vector<quint32> Collation::order(quint32 n, const std::function<QByteArrayView(quint32)> &text) const
{
    return orderTexts<QByteArrayView>(n, text);
}

} // namespace zorv::text
