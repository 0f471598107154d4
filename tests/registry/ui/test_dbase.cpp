#include "dbase.h"
#include "inser.h"

#include "registryfixture.h"

#include <QAction>
#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace zorv;
using namespace zorv::registry;

namespace {

class DbaseTest : public test::RegistryFixture {
protected:
    void open()
    {
        window = std::make_unique<Dbase>();
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }

    // A key typed while `control` has the focus.
    void press(QWidget *control, Qt::Key key)
    {
        control->setFocus();
        QWidget *focus = QApplication::focusWidget();
        ASSERT_EQ(focus, control);
        QTest::keyClick(focus, key);
    }

    // What the entry form showed when it came up, and it is closed again.
    struct Seen {
        bool opened = false;
        QString caption;
        QString number;
        bool numberEnabled = false;
        int nuovoCliente = -1;
    };
    Seen closingTheForm()
    {
        auto seen = std::make_shared<Seen>();
        test::whenIdle([seen] {
            auto *form = qobject_cast<Inser *>(QApplication::activeModalWidget());
            if (!form)
                return;
            seen->opened = true;
            seen->caption = form->windowTitle();
            seen->number = form->nucli->text();
            seen->numberEnabled = form->nucli->isEnabled();
            seen->nuovoCliente = db().NuovoCliente;
            form->close();
        });
        m_seen = seen;
        return {};
    }
    Seen seen() const { return *m_seen; }

    std::unique_ptr<Dbase> window;

private:
    std::shared_ptr<Seen> m_seen;
};

struct PercorsoCase {
    const char *name;
    QByteArray content; // empty name: no percorso.cfg at all
    QString folder;     // empty: the current folder
};

class Percorso : public DbaseTest, public ::testing::WithParamInterface<PercorsoCase> {};

TEST_P(Percorso, DataFolderComesFromTheFirstItem)
{
    const PercorsoCase c = GetParam();
    if (qstrlen(c.name) > 0)
        folder.write(QStringLiteral("percorso.cfg"), c.content);
    open();
    const QString expected = c.folder.isEmpty() ? QDir::currentPath() + u'/' : c.folder;
    EXPECT_EQ(db().Percorso, expected);
    EXPECT_EQ(db().FileClienti, expected + QStringLiteral("CLIENTI.DAT"));
    EXPECT_FALSE(QFile::exists(db().FileClienti)); // nothing is opened at start
    EXPECT_TRUE(boxes.shown.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cfg, Percorso,
    ::testing::Values(PercorsoCase{"", "", ""}, PercorsoCase{"line", "/srv/dati\r\n", "/srv/dati/"},
                      PercorsoCase{"nolineend", "/srv/dati", "/srv/dati/"},
                      PercorsoCase{"comma", "/srv/dati,X\r\n", "/srv/dati/"},
                      PercorsoCase{"quoted", "\"/srv/dati, due\"\r\naltro\r\n", "/srv/dati, due/"},
                      PercorsoCase{"empty", "", ""}, PercorsoCase{"emptyitem", ",/srv/dati\r\n", ""}),
    [](const auto &info) { return std::string(qstrlen(info.param.name) ? info.param.name : "none"); });

TEST_F(DbaseTest, WindowCarriesEveryCommand)
{
    open();
    EXPECT_EQ(window->objectName(), QStringLiteral("Dbase"));
    EXPECT_EQ(window->windowTitle(), QStringLiteral(" DATA BASE CLI  V. 2.0"));
    EXPECT_EQ(window->findChild<QWidget *>(QStringLiteral("Etichetta1"))->property("text").toString(),
              QStringLiteral("DATABASE CLIENTI"));

    // Menu bar: each menu's items and separators in order ("-" for a separator).
    QStringList bar;
    QMap<QString, QStringList> menus;
    for (QAction *top : window->menuBar()->actions()) {
        bar.append(top->text());
        if (!top->menu()) {
            EXPECT_EQ(top->objectName(), QStringLiteral("Cale"));
            continue;
        }
        for (QAction *a : top->menu()->actions())
            menus[top->text()].append(a->isSeparator() ? QStringLiteral("-") : a->objectName() + u'=' + a->text());
    }
    EXPECT_EQ(bar, (QStringList{"&File", "&Trova", "&Servizio", "&Calcola", "  &?  "}));
    EXPECT_EQ(menus["&File"],
              (QStringList{"inse=&Nuovo", "-", "Modi=&Modifica", "-", "cance=&Cancella", "-", "Uscio=&Uscita"}));
    EXPECT_EQ(menus["&Trova"], (QStringList{"sch=&Scheda", "-", "Tro=&Rag. Sociale", "-", "listalf=Lista &Alfabetica",
                                            "-", "lisnum=Lista &Numerica"}));
    EXPECT_EQ(menus["&Servizio"], (QStringList{"el=Elenco &Alfabetico/Stampe/Schede", "-",
                                               "elenum=Elenco &Numerico/Stampe/Schede"}));
    ASSERT_FALSE(menus["  &?  "].isEmpty());
    EXPECT_EQ(menus["  &?  "].first(), QStringLiteral("aiut=&Aiuto"));

    // Buttons with their captions and frames.
    const std::tuple<const char *, const char *, const char *> buttons[] = {
        {"Command8", "Nuovo", "Scheda"},         {"Command10", "Modifica", "Scheda"},
        {"Command6", "Elimina", "Scheda"},       {"Command1", "Esporta archivio", "Scheda"},
        {"Command3", "Uscita", ""},              {"Command11", "Scheda", "Trova"},
        {"Command5", "Nome", "Trova"},           {"Command9", "Lista alfanum.", "Trova"},
        {"Command7", "Lista num.", "Trova"},     {"Command16", "Alfabetico", "Elenchi"},
        {"Command14", "Numerico", "Elenchi"},    {"Command12", "Calcolatrice", ""},
    };
    for (const auto &[name, caption, frame] : buttons) {
        auto *b = window->findChild<QPushButton *>(QLatin1String(name));
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->text(), QLatin1String(caption)) << name;
        auto *g = qobject_cast<QGroupBox *>(b->parentWidget());
        ASSERT_NE(g, nullptr) << name;
        EXPECT_EQ(g->title(), QLatin1String(frame)) << name;
    }
}

TEST_F(DbaseTest, F4FromAnyControlOpensTheFormForTheNextNumber)
{
    fill(12);
    open();
    closingTheForm();
    press(window->Command12, Qt::Key_F4);
    const Seen s = seen();
    ASSERT_TRUE(s.opened);
    EXPECT_EQ(s.caption, QStringLiteral("Aggiorna"));
    EXPECT_EQ(s.number, QStringLiteral("13"));
    EXPECT_FALSE(s.numberEnabled);
    EXPECT_EQ(s.nuovoCliente, 1);
}

TEST_F(DbaseTest, NewCustomerCreatesAMissingFile)
{
    open();
    closingTheForm();
    window->Command8->click();
    ASSERT_TRUE(seen().opened);
    EXPECT_EQ(seen().number, QStringLiteral("1"));
    EXPECT_TRUE(QFile::exists(db().FileClienti));
    EXPECT_EQ(stored().size(), 0);
}

TEST_F(DbaseTest, ChangeOpensTheFormInItsDesignState)
{
    fill(3);
    open();
    db().NuovoCliente = 1;
    closingTheForm();
    window->Command10->click();
    const Seen s = seen();
    ASSERT_TRUE(s.opened);
    EXPECT_EQ(s.caption, QStringLiteral("Modifica"));
    EXPECT_TRUE(s.number.isEmpty());
    EXPECT_TRUE(s.numberEnabled);
    EXPECT_EQ(s.nuovoCliente, 0);
}

TEST_F(DbaseTest, ExitAnsweredNoKeepsTheProgram)
{
    open();
    QSignalSpy ended(window.get(), &Dbase::terminato);
    boxes.answerNext(answer::No);
    press(window->Command8, Qt::Key_F9);
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Lasciare il programma ?"));
    EXPECT_EQ(boxes.last().title, QStringLiteral("(!)"));
    EXPECT_EQ(boxes.last().style, style::YesNo);
    EXPECT_EQ(boxes.beeps, 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(programs.started.isEmpty());
    EXPECT_EQ(ended.count(), 0);
}

TEST_F(DbaseTest, ExitStartsTheMenuAndEndsEvenWhenTheMenuIsMissing)
{
    open();
    programs.missing.append(QStringLiteral("menu"));
    QSignalSpy ended(window.get(), &Dbase::terminato);
    window->Command3->click();
    EXPECT_EQ(boxes.last().title, QStringLiteral("(!)"));
    EXPECT_EQ(programs.started, QStringList{QStringLiteral("menu")});
    EXPECT_EQ(ended.count(), 1);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(boxes.shown.size(), 1); // closing asks no second time
}

TEST_F(DbaseTest, CloseBoxAsksUnderItsOwnTitle)
{
    open();
    QSignalSpy ended(window.get(), &Dbase::terminato);
    boxes.answerNext(answer::No);
    EXPECT_FALSE(window->close());
    EXPECT_EQ(boxes.last().title, QStringLiteral("(Database Clienti)"));
    EXPECT_EQ(boxes.beeps, 1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(ended.count(), 0);

    EXPECT_TRUE(window->close()); // Yes
    EXPECT_EQ(programs.started, QStringList{QStringLiteral("menu")});
    EXPECT_EQ(ended.count(), 1);
}

TEST_F(DbaseTest, CalculatorStartsAndAMissingOneIsReported)
{
    open();
    window->Command12->click();
    EXPECT_EQ(programs.started, QStringList{QStringLiteral("Calc")});
    EXPECT_TRUE(boxes.shown.isEmpty());

    programs.missing.append(QStringLiteral("Calc"));
    window->Cale->trigger();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().title, QStringLiteral("ERRORE"));
}

TEST_F(DbaseTest, EnterOnAFocusedButtonClicksIt)
{
    fill(4);
    open();
    // Return and the keypad's Enter, on the calculator, the exit and the new-customer buttons.
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        // Active again after the entry form, as a window manager makes it.
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        programs.started.clear();
        press(window->Command12, key);
        EXPECT_EQ(programs.started, QStringList{QStringLiteral("Calc")}) << key;

        boxes.shown.clear();
        boxes.answerNext(answer::No);
        press(window->Command3, key);
        ASSERT_EQ(boxes.shown.size(), 1) << key;
        EXPECT_EQ(boxes.last().text, QStringLiteral("Lasciare il programma ?"));

        closingTheForm();
        press(window->Command8, key);
        ASSERT_TRUE(seen().opened) << key;
        EXPECT_EQ(seen().number, QStringLiteral("5"));
    }
    EXPECT_TRUE(window->isVisible());
}

TEST_F(DbaseTest, ExportAsksFirstAndNoStopsIt)
{
    fill(2);
    open();
    boxes.answerNext(answer::No);
    window->Command1_Click();
    ASSERT_EQ(boxes.shown.size(), 1);
    EXPECT_EQ(boxes.last().text, QStringLiteral("Esportare l'Archivio clienti ?\r\n\r\n"));
    EXPECT_EQ(boxes.last().title, QStringLiteral("Esportazione"));
    EXPECT_EQ(boxes.last().style, style::YesNo);
}

TEST_F(DbaseTest, OtherKeysDoNothing)
{
    open();
    press(window->Command8, Qt::Key_F5);
    press(window->Command8, Qt::Key_Escape);
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_TRUE(window->isVisible());
}

} // namespace
