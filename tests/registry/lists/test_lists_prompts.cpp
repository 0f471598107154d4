#include "uifixture.h"

#include "filterprompt.h"
#include "minmax.h"

#include <QLineEdit>
#include <QPushButton>

using namespace zorv;
using namespace zorv::registry;
using namespace zorv::registry::lists;

namespace {

struct Prompts : test::ListsUi {};

// Opens the prompt modally, runs `action` on it, and returns once it has closed.
template <class T>
void runModal(T &prompt, std::function<void(T *)> action)
{
    test::whenIdle([&prompt, action] { action(&prompt); });
    prompt.exec();
}

} // namespace

TEST_F(Prompts, CityLeavesTheTypedCityTrimmedAndUpperCase)
{
    City p;
    EXPECT_EQ(p.objectName(), QStringLiteral("city"));
    EXPECT_EQ(p.windowTitle(), QStringLiteral(" Citta'"));
    runModal<City>(p, [](City *w) {
        EXPECT_TRUE(w->Testo1->text().isEmpty());
        QTest::keyClicks(w->Testo1, QStringLiteral("  reggio emilia "));
        EXPECT_EQ(w->Testo1->text(), QStringLiteral("  reggio emilia ")); // no change while typing
        QTest::keyClick(w->Testo1, Qt::Key_Return);
    });
    EXPECT_EQ(db().CittaScelta, QStringLiteral("REGGIO EMILIA"));
    EXPECT_FALSE(p.isVisible());
}

TEST_F(Prompts, EscF9AndBlankEnterLeaveTheVariableEmpty)
{
    struct Case {
        QString typed;
        Qt::Key key;
    };
    for (const Case &c : {Case{"roma", Qt::Key_Escape}, Case{"roma", Qt::Key_F9}, Case{"   ", Qt::Key_Return},
                          Case{"", Qt::Key_Return}}) {
        db().CittaScelta.clear();
        City city;
        runModal<City>(city, [c](City *w) {
            QTest::keyClicks(w->Testo1, c.typed);
            QTest::keyClick(w->Testo1, c.key);
        });
        EXPECT_TRUE(db().CittaScelta.isEmpty()) << c.key;
        db().StatoScelto.clear();
        Statin stato;
        runModal<Statin>(stato, [c](Statin *w) {
            QTest::keyClicks(w->Testo1, c.typed);
            QTest::keyClick(w->Testo1, c.key);
        });
        EXPECT_TRUE(db().StatoScelto.isEmpty()) << c.key;
    }
}

TEST_F(Prompts, CityKeepsAtMost24Characters)
{
    City p;
    EXPECT_EQ(p.Testo1->maxLength(), 24);
    QTest::keyClicks(p.Testo1, QString(30, QLatin1Char('A')));
    EXPECT_EQ(p.Testo1->text(), QString(24, QLatin1Char('A')));
    p.Testo1->clear();
    p.Testo1->insert(QString(26, QLatin1Char('B'))); // pasted
    EXPECT_EQ(p.Testo1->text().size(), 24);
}

TEST_F(Prompts, StatinCutsTheSixteenthCharacter)
{
    Statin p;
    EXPECT_EQ(p.objectName(), QStringLiteral("Statin"));
    EXPECT_EQ(p.windowTitle(), QStringLiteral(" Stato "));
    EXPECT_EQ(p.Testo1->maxLength(), 20);

    // At the end: removed at once, caret after the 15th.
    QTest::keyClicks(p.Testo1, QStringLiteral("ABCDEFGHIJKLMNO"));
    QTest::keyClicks(p.Testo1, QStringLiteral("P"));
    EXPECT_EQ(p.Testo1->text(), QStringLiteral("ABCDEFGHIJKLMNO"));
    EXPECT_EQ(p.Testo1->cursorPosition(), 15);

    // In the middle: it stays and the last character goes; the caret ends after the last.
    p.Testo1->setCursorPosition(2);
    QTest::keyClicks(p.Testo1, QStringLiteral("x"));
    EXPECT_EQ(p.Testo1->text(), QStringLiteral("ABxCDEFGHIJKLMN"));
    EXPECT_EQ(p.Testo1->cursorPosition(), 15);
}

TEST_F(Prompts, MinmaxOkWithThePresetRange)
{
    Minmax m;
    EXPECT_EQ(m.objectName(), QStringLiteral("minmax"));
    EXPECT_EQ(m.windowTitle(), QStringLiteral("Da....  A...."));
    m.preset(17);
    EXPECT_EQ(m.Text1->text(), QStringLiteral("1"));
    EXPECT_EQ(m.Text2->text(), QStringLiteral("17"));
    runModal<Minmax>(m, [](Minmax *w) {
        ASSERT_EQ(w->focusWidget(), w->Command1);
        QTest::keyClick(w->focusWidget(), Qt::Key_Return);
    });
    EXPECT_EQ(m.result(), QDialog::Accepted);
    EXPECT_EQ(db().StampaDa, 1);
    EXPECT_EQ(db().StampaA, 17);
    EXPECT_EQ(m.from(), 1);
    EXPECT_EQ(m.to(), 17);
    EXPECT_TRUE(boxes.shown.isEmpty());
}

TEST_F(Prompts, MinmaxRefusesAZeroOrReversedRangeAndStaysOpen)
{
    struct Case {
        QString from, to;
        QLineEdit *Minmax::*emptied;
    };
    const Case cases[] = {
        {"0", "5", &Minmax::Text1},
        {"", "5", &Minmax::Text1},
        {"2", "", &Minmax::Text1}, // Text1 is emptied whichever was 0
        {"2", "ab", &Minmax::Text1},
        {"5", "3", &Minmax::Text2},
    };
    for (const Case &c : cases) {
        boxes.shown.clear();
        Minmax m;
        m.show();
        m.Text1->setText(c.from);
        m.Text2->setText(c.to);
        m.Command1->click();
        ASSERT_EQ(boxes.shown.size(), 1) << c.from.toStdString() << ".." << c.to.toStdString();
        EXPECT_EQ(boxes.last().text, QStringLiteral("Intervallo di stampa errato"));
        EXPECT_EQ(boxes.last().title, QStringLiteral("(!)"));
        EXPECT_TRUE(m.isVisible());
        EXPECT_TRUE((m.*c.emptied)->text().isEmpty());
        QLineEdit *other = c.emptied == &Minmax::Text1 ? m.Text2 : m.Text1;
        EXPECT_EQ(other->text(), other == m.Text1 ? c.from : c.to);
    }
}

TEST_F(Prompts, MinmaxFirstBoxTakesDigitsOnlyAndEnterThereConfirms)
{
    Minmax m;
    m.show();
    EXPECT_EQ(m.Text1->maxLength(), 4);
    EXPECT_EQ(m.Text2->maxLength(), 4);
    QTest::keyClicks(m.Text1, QStringLiteral("a1b2-3.x45"));
    EXPECT_EQ(m.Text1->text(), QStringLiteral("1234"));
    QTest::keyClick(m.Text1, Qt::Key_Backspace);
    EXPECT_EQ(m.Text1->text(), QStringLiteral("123"));
    QTest::keyClicks(m.Text2, QStringLiteral("x2.5"));
    EXPECT_EQ(m.Text2->text(), QStringLiteral("x2.5")); // no filter in the last box
    m.Text2->setText(QStringLiteral("200"));
    // Enter in the last box does nothing.
    QTest::keyClick(m.Text2, Qt::Key_Return);
    EXPECT_TRUE(m.isVisible());
    EXPECT_TRUE(boxes.shown.isEmpty());
    QTest::keyClick(m.Text1, Qt::Key_Return);
    EXPECT_FALSE(m.isVisible());
    EXPECT_EQ(m.result(), QDialog::Accepted);
    EXPECT_EQ(db().StampaDa, 123);
    EXPECT_EQ(db().StampaA, 200);
}

TEST_F(Prompts, MinmaxTabMovesTheFocusFromTheFirstBoxAndTheRangeTypedIsPrinted)
{
    Minmax m;
    m.preset(17);
    runModal<Minmax>(m, [](Minmax *w) {
        EXPECT_EQ(test::tabChain(w, 3), (QStringList{"Text1", "Text2", "Command1"}));
        EXPECT_EQ(test::tabChain(w, 3, true), (QStringList{"Text2", "Text1", "Command1"}));
        // The operator types the first line, tabs to the last, types it, and goes back
        // to the first box to confirm with Enter.
        test::pressTab(w->focusWidget());
        ASSERT_EQ(w->focusWidget(), w->Text1);
        w->Text1->selectAll();
        QTest::keyClicks(w->Text1, QStringLiteral("2"));
        test::pressTab(w->Text1);
        ASSERT_EQ(w->focusWidget(), w->Text2);
        w->Text2->selectAll();
        QTest::keyClicks(w->Text2, QStringLiteral("3"));
        test::pressTab(w->Text2, true);
        ASSERT_EQ(w->focusWidget(), w->Text1);
        QTest::keyClick(w->Text1, Qt::Key_Return);
    });
    EXPECT_EQ(m.result(), QDialog::Accepted);
    EXPECT_EQ(m.Text1->text(), QStringLiteral("2"));
    EXPECT_EQ(m.Text2->text(), QStringLiteral("3"));
    EXPECT_EQ(db().StampaDa, 2);
    EXPECT_EQ(db().StampaA, 3);
}

TEST_F(Prompts, MinmaxEscF9AndTheCloseButtonCancel)
{
    for (int way = 0; way < 3; ++way) {
        db().StampaDa = 9;
        Minmax m;
        m.show();
        m.preset(4);
        if (way == 0)
            QTest::keyClick(m.Text2, Qt::Key_Escape);
        else if (way == 1)
            QTest::keyClick(m.Command1, Qt::Key_F9);
        else
            m.close();
        EXPECT_FALSE(m.isVisible()) << way;
        EXPECT_EQ(db().StampaDa, 0) << way;
        EXPECT_EQ(m.from(), 0);
    }
    EXPECT_TRUE(boxes.shown.isEmpty());
}
