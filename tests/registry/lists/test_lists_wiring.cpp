#include "uifixture.h"

#include "dbase.h"
#include "elenchi.h"
#include "lista.h"
#include "visual.h"

#include <QAction>
#include <QLabel>
#include <QPushButton>

using namespace zorv;
using namespace zorv::registry;
using namespace zorv::registry::lists;
using zorv::test::onModal;

namespace {

struct Wiring : test::ListsUi {
    void SetUp() override
    {
        ListsUi::SetUp();
        setCardOpener(nullptr); // the real card
        writeRegistry(test::numbered(12));
    }
};

} // namespace

TEST_F(Wiring, EnterOnAListLineOpensTheRealCardOfThatCustomer)
{
    Elenco w;
    w.show();
    w.Comando1->click();
    select(w.riepilogo1, 9);
    QString shown;
    onModal<Visual>([&shown](Visual *card) {
        shown = card->Etichetta2->text();
        QTest::keyClick(card, Qt::Key_Escape);
    });
    QTest::keyClick(w.riepilogo1, Qt::Key_Return);
    EXPECT_EQ(shown, QStringLiteral("0010"));
    EXPECT_EQ(db().NumCliente, 10);
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(lines(w.riepilogo1).size(), 12);
}

TEST_F(Wiring, TheMainWindowOpensEveryListAndF2OpensTheAlphabeticQuickList)
{
    Dbase main;
    db().FileClienti = dir.file(QStringLiteral("CLIENTI.DAT"));
    main.show();
    EXPECT_TRUE(zorv::test::activate(&main));

    QString opened;
    int count = -1;
    const auto closeList = [&opened, &count](QDialog *w, QListView *list) {
        opened = w->objectName();
        count = int(lines(list).size());
        QTest::keyClick(list, Qt::Key_Escape);
    };
    onModal<Lista>([&](Lista *w) { closeList(w, w->riepilogo1); });
    QTest::keyClick(&main, Qt::Key_F2);
    EXPECT_EQ(opened, QStringLiteral("lista"));
    EXPECT_EQ(count, 12);

    struct Case {
        QAction *action;
        QPushButton *button;
        const char *window;
    };
    for (const Case &c : {Case{main.listalf, main.Command9, "lista"}, Case{main.lisnum, main.Command7, "lista1"},
                          Case{main.el, main.Command16, "Elenchi"}, Case{main.elenum, main.Command14, "Elenco"}}) {
        EXPECT_TRUE(c.action->isEnabled());
        EXPECT_TRUE(c.button->isEnabled());
        for (int way = 0; way < 2; ++way) {
            opened.clear();
            test::whenIdle([&opened] {
                QWidget *w = QApplication::activeModalWidget();
                if (!w)
                    return;
                opened = w->objectName();
                QTest::keyClick(w, Qt::Key_F9);
            });
            if (way == 0)
                c.action->trigger();
            else
                c.button->click();
            EXPECT_EQ(opened, QString::fromLatin1(c.window));
        }
    }
    EXPECT_TRUE(main.isVisible());
}
