#include "collation.h"
#include "text.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>

using namespace zorv;
using namespace Qt::StringLiterals;
using text::Collation;

namespace {

// The ways an installation may be set up: no locale at all, Italian, and the one the
// test runs under (the suite runs again under LC_ALL=C and LC_ALL=it_IT.UTF-8).
std::vector<const Collation *> usualCollations()
{
    static const Collation c(QLocale::c());
    static const Collation it(QLocale(QLocale::Italian, QLocale::Italy));
    return {&c, &it, &Collation::system()};
}

std::vector<quint32> plainOrder(const Collation &collation, const QStringList &texts)
{
    std::vector<quint32> order(texts.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(),
                     [&](quint32 a, quint32 b) { return collation.compare(texts[a], texts[b]) < 0; });
    return order;
}

QStringList ordered(const Collation &collation, const QStringList &texts)
{
    QStringList out;
    for (quint32 i : collation.order(texts))
        out.append(texts[i]);
    return out;
}

int sign(int v) { return (v > 0) - (v < 0); }

} // namespace

TEST(Collation, AccentedLettersSortWithTheirPlainOnesCaseIgnored)
{
    struct Case {
        const char16_t *a;
        const char16_t *b;
        int wanted; // sign of compare(a, b)
    };
    const Case cases[] = {
        {u"ÉRIC DUPONT", u"ZETA SEI", -1},
        {u"ÉRIC DUPONT", u"EMMA", 1},
        {u"ÉRIC DUPONT", u"EZIO", -1},
        {u"ÉRIC DUPONT", u"DUPONT ERIC", 1},
        {u"NICOLÒ ANNA", u"NICOLOSI PAOLO", -1},
        {u"Àngelo", u"Verdi", -1},
        {u"àngelo", u"Bianchi", -1},
        {u"À", u"à", 0},
        {u"rossi mario", u"ROSSI MARIO", 0},
        {u"Èva", u"èVA", 0},
        {u"E", u"É", -1}, // the accent counts only between otherwise equal texts
        {u"O", u"ò", -1},
        {u"ROSSI", u"ROSSI MARIO", -1},
        {u"ROSSI MARIO", u"ROSSIMARIO", -1},
        {u"######", u"0012", -1},
        {u"0012", u"9", -1},
        {u"", u"A", -1},
    };
    for (const Collation *collation : usualCollations()) {
        for (const Case &c : cases) {
            const QString a = QString::fromUtf16(c.a);
            const QString b = QString::fromUtf16(c.b);
            EXPECT_EQ(sign(collation->compare(a, b)), c.wanted)
                << qPrintable(a) << " / " << qPrintable(b) << " in " << qPrintable(collation->localeName());
            EXPECT_EQ(sign(collation->compare(b, a)), -c.wanted) << qPrintable(a) << " / " << qPrintable(b);
        }
    }
}

// Qt compares code points when it has no collation to use (the C locale, or missing
// collation data at run time): that must never happen quietly.
TEST(Collation, NeverFallsBackToCodePoints)
{
    const QStringList names{u"ZETA SEI"_s, u"ÉRIC DUPONT"_s, u"NICOLOSI PAOLO"_s, u"NICOLÒ ANNA"_s,
                            u"Verdi"_s, u"Àngelo"_s};
    const QStringList wanted{u"Àngelo"_s, u"ÉRIC DUPONT"_s, u"NICOLÒ ANNA"_s, u"NICOLOSI PAOLO"_s,
                             u"Verdi"_s, u"ZETA SEI"_s};
    for (const Collation *collation : usualCollations())
        EXPECT_EQ(ordered(*collation, names), wanted) << qPrintable(collation->localeName());

    const Collation c(QLocale::c());
    EXPECT_EQ(c.localeName(), u"en_US"_s) << "the C locale takes the neutral rules";
}

TEST(Collation, SystemLocaleFollowsTheEnvironment)
{
    const QByteArray all = qgetenv("LC_ALL");
    if (all.startsWith("it_IT"))
        EXPECT_TRUE(Collation::system().localeName().startsWith(u"it"_s)) << qPrintable(Collation::system().localeName());
    else if (all == "C" || all == "POSIX")
        EXPECT_EQ(Collation::system().localeName(), u"en_US"_s);
    else
        GTEST_SKIP() << "LC_ALL is neither C nor it_IT here (" << all.constData() << ")";
}

TEST(Collation, EqualTextsKeepTheirOrder)
{
    const QStringList texts{u"ROSSI"_s, u"rossi"_s, u"Bianchi"_s, u"Rossi"_s, u"BIANCHI"_s, u"bianchi"_s,
                            u"àb"_s, u"ÀB"_s, u"Àb"_s};
    for (const Collation *collation : usualCollations()) {
        EXPECT_EQ(ordered(*collation, texts),
                  (QStringList{u"àb"_s, u"ÀB"_s, u"Àb"_s, u"Bianchi"_s, u"BIANCHI"_s, u"bianchi"_s,
                               u"ROSSI"_s, u"rossi"_s, u"Rossi"_s}))
            << qPrintable(collation->localeName());
    }
}

// Letters some languages join into one (Czech "ch" after "h", Danish "aa" after "z")
// must not be taken for plain letters in those languages.
TEST(Collation, LettersJoinedByTheLanguageSortAsItSays)
{
    struct Case {
        QLocale locale;
        QStringList texts;
        QStringList wanted;
    };
    const Case cases[] = {
        {QLocale(QLocale::Czech), {u"CHOC"_s, u"HUGO"_s, u"CIAO"_s}, {u"CIAO"_s, u"HUGO"_s, u"CHOC"_s}},
        {QLocale(QLocale::Danish), {u"AARHUS"_s, u"ZEBRA"_s, u"ABE"_s}, {u"ABE"_s, u"ZEBRA"_s, u"AARHUS"_s}},
        {QLocale(QLocale::Italian), {u"CHOC"_s, u"HUGO"_s, u"CIAO"_s}, {u"CHOC"_s, u"CIAO"_s, u"HUGO"_s}},
    };
    for (const Case &c : cases)
        EXPECT_EQ(ordered(Collation(c.locale), c.texts), c.wanted) << qPrintable(c.locale.name());
}

// Mixed texts, plain and accented, long shared beginnings: the order must be the one a
// plain stable sort with the collator gives, for strings and for Windows-1252 bytes.
TEST(Collation, OrderEqualsAStableSortWithTheCollator)
{
    const QStringList stems{u"ROSSI MARIO"_s, u"rossi mario "_s, u"ROSSI MARIO AB"_s, u"Rossi Mariolina"_s,
                            u"ROSSI M"_s, QString(), u"ROSSI MARIO\u0001"_s, u"BIANCHI ANNA MARIA GRAZIA"_s,
                            u"NICOLÒ"_s, u"NICOLO"_s, u"Àngelo"_s, u"ÉRIC"_s, u"0012"_s, u"######"_s,
                            u"CHOC"_s, u"AARHUS"_s, u"D'ANGELO"_s, u"ŒUVRE"_s,
                            u"BIANCHI ANNA MARIA GRAZIA DA PONTE"_s, u"Bianchi Anna Maria Grazia da Ponte Alto"_s};
    const QString tails = u"aAbB ZzàÒé-.1"_s;
    QRandomGenerator rng(5101);
    QStringList texts;
    for (int i = 0; i < 4000; ++i) {
        QString t = stems[rng.bounded(stems.size())];
        const int extra = rng.bounded(5);
        for (int k = 0; k < extra; ++k)
            t.append(tails[rng.bounded(tails.size())]);
        texts.append(rng.bounded(2) ? text::upper(t) : t);
    }
    std::vector<QByteArray> bytes;
    for (const QString &t : texts)
        bytes.push_back(text::toCp1252(t));
    ASSERT_EQ(text::fromCp1252(bytes[0]), texts[0]);

    const Collation cs{QLocale(QLocale::Czech)};
    const Collation da{QLocale(QLocale::Danish)};
    const Collation de{QLocale(QLocale::German)};
    auto collations = usualCollations();
    collations.insert(collations.end(), {&cs, &da, &de});
    for (const Collation *collation : collations) {
        const std::vector<quint32> wanted = plainOrder(*collation, texts);
        EXPECT_EQ(collation->order(texts), wanted) << qPrintable(collation->localeName());
        EXPECT_EQ(collation->order(quint32(bytes.size()), [&](quint32 i) { return QByteArrayView(bytes[i]); }), wanted)
            << qPrintable(collation->localeName());
    }
}

// All plain or all accented: the two halves of the work on their own.
TEST(Collation, OrderOfOnlyPlainOrOnlyAccentedTexts)
{
    const Collation &collation = Collation::system();
    const QStringList plain{u"b"_s, u"A2"_s, u"a1"_s, u"B"_s, u"a1"_s};
    EXPECT_EQ(ordered(collation, plain), (QStringList{u"a1"_s, u"a1"_s, u"A2"_s, u"b"_s, u"B"_s}));
    const QStringList accented{u"ù"_s, u"È"_s, u"à"_s, u"Ò"_s, u"À"_s, u"ì"_s};
    EXPECT_EQ(ordered(collation, accented), (QStringList{u"à"_s, u"À"_s, u"È"_s, u"ì"_s, u"Ò"_s, u"ù"_s}));
    EXPECT_TRUE(collation.order(QStringList{}).empty());
}
