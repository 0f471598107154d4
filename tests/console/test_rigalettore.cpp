#include "rigalettore.h"

#include <QByteArray>
#include <QList>
#include <QStringList>

#include <gtest/gtest.h>

using namespace zorv::reader;

namespace {

struct Result {
    QList<QByteArray> lines;
    QList<qint64> dropped; // bytes dropped in front of each line
    QByteArray partial;
};

// Feeds `bytes` in pieces of `piece` bytes, taking each line as it completes.
Result feed(const QByteArray &bytes, qsizetype piece)
{
    RigaLettore r;
    Result out;
    QByteArrayView rest(bytes);
    while (!rest.isEmpty()) {
        const QByteArrayView now = rest.first(qMin(piece, rest.size()));
        const qsizetype taken = r.aggiungi(now);
        rest = rest.sliced(taken);
        if (r.completa()) {
            out.dropped.append(r.scartati());
            out.lines.append(r.prendi());
        } else {
            EXPECT_EQ(taken, now.size());
        }
    }
    out.partial = r.parziale();
    return out;
}

const QByteArray kCard = "123456789012\r";

TEST(RigaLettore, LinesAndGarbageWhateverThePieces)
{
    const QByteArray longest = QByteArray(RigaLettore::kLunghezzaMassima - 1, 'L') + '\r';
    const QByteArray run = QByteArray(RigaLettore::kLunghezzaMassima, 'x');
    const struct {
        const char *name;
        QByteArray bytes;
        QList<QByteArray> lines;
        QList<qint64> dropped;
        QByteArray partial;
    } cases[] = {
        {"two cards", kCard + kCard, {kCard, kCard}, {0, 0}, {}},
        {"empty line and a half", "\rAB", {"\r"}, {0}, "AB"},
        {"longest line kept", longest + kCard, {longest, kCard}, {0, 0}, {}},
        {"one run dropped, the card after it kept", run + kCard, {kCard}, {256}, {}},
        {"a megabyte dropped", QByteArray(1 << 20, 'x') + kCard, {kCard}, {1 << 20}, {}},
        // What is left of a run joins the next bytes: no card comes of it.
        {"run with a tail", run + "tail" + kCard, {"tail" + kCard}, {256}, {}},
        {"garbage still coming", run + run + "abc", {}, {}, "abc"},
        {"LF is part of a line", "A\nB\r", {"A\nB\r"}, {0}, {}},
    };
    for (const auto &c : cases) {
        for (qsizetype piece : {qsizetype(1), qsizetype(7), qsizetype(300), qsizetype(1 << 21)}) {
            SCOPED_TRACE(std::string(c.name) + ", pieces of " + std::to_string(piece));
            const Result r = feed(c.bytes, piece);
            EXPECT_EQ(r.lines, c.lines);
            EXPECT_EQ(r.dropped, c.dropped);
            EXPECT_EQ(r.partial, c.partial);
        }
    }
}

TEST(RigaLettore, TakesNothingMoreUntilTheLineIsTaken)
{
    RigaLettore r;
    EXPECT_EQ(r.aggiungi("AB\rCD\r"), 3);
    EXPECT_TRUE(r.completa());
    EXPECT_EQ(r.aggiungi("CD\r"), 0);
    EXPECT_EQ(r.prendi(), "AB\r");
    EXPECT_FALSE(r.completa());
    EXPECT_EQ(r.aggiungi("CD"), 2);
    r.azzera();
    EXPECT_TRUE(r.parziale().isEmpty());
    EXPECT_EQ(r.aggiungi("E\r"), 2);
    EXPECT_EQ(r.prendi(), "E\r");
}

TEST(RigaLettore, GarbageIsNotedOnceAndItsTotalBeforeTheNextLine)
{
    RigaLettore r;
    QStringList notes;
    const auto note = [&](const QString &n) { notes.append(n); };
    const QByteArray run(RigaLettore::kLunghezzaMassima, 'x');
    EXPECT_EQ(r.aggiungi("ab", note), 2);
    EXPECT_TRUE(notes.isEmpty());
    for (int i = 0; i < 3; ++i)
        r.aggiungi(run, note);
    EXPECT_EQ(notes, QStringList{"dati dal lettore senza fine riga (oltre 256 byte): scartati"});
    EXPECT_EQ(r.aggiungi("yz\rNEXT\r", note), 3);
    EXPECT_EQ(notes.size(), 2);
    EXPECT_EQ(notes.last(), "scartati in tutto 768 byte senza fine riga");
    // A complete line not yet taken says nothing more.
    EXPECT_EQ(r.aggiungi("NEXT\r", note), 0);
    EXPECT_EQ(notes.size(), 2);
    // The ends of the runs that were not dropped make the line, as in the station.
    EXPECT_EQ(r.prendi(), "xxyz\r");
}

TEST(RigaLettore, CardShape)
{
    EXPECT_TRUE(formaCarta(kCard));
    EXPECT_FALSE(formaCarta("12345678901\r"));
    EXPECT_FALSE(formaCarta("1234567890123\r"));
    EXPECT_FALSE(formaCarta("1234567890123"));
}

} // namespace
