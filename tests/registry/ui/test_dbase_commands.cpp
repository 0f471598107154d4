#include "dbase.h"
#include "dbstate.h"
#include "fixture.h"
#include "visual.h"

#include "fakemessageboxes.h"
#include "fakeprinter.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

using namespace zorv;
using namespace zorv::registry;
using zorv::test::cliente;
using zorv::test::registro;
using zorv::test::TempFolder;
using zorv::test::whenIdle;

namespace {

// The main window started in a fresh current folder holding the registry.
class Commands : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previous = QDir::currentPath();
        ASSERT_TRUE(QDir::setCurrent(dir.path()));
        dir.write("CLIENTI.DAT", registro({cliente("rossi mario", "milano", "via roma 1", "20100", "mi"),
                                           registry::Record::deleted(), cliente("bianchi", "bari")}));
        window = std::make_unique<Dbase>();
    }
    void TearDown() override
    {
        window.reset();
        QDir::setCurrent(m_previous);
    }

    // Runs `action` on the modal window of class W once it is up, then closes it.
    template <class W>
    void onModal(std::function<void(W *)> action)
    {
        whenIdle([action] {
            auto *w = qobject_cast<W *>(QApplication::activeModalWidget());
            ASSERT_NE(w, nullptr);
            action(w);
            if (w->isVisible())
                w->close();
        });
    }

    TempFolder dir;
    FakeMessageBoxes boxes;
    ScopedService<MessageBoxes> boxService{&boxes};
    FakePrinter fakePrinter;
    ScopedService<Printer> printerService{&fakePrinter};
    std::unique_ptr<Dbase> window;

private:
    QString m_previous;
};

} // namespace

TEST_F(Commands, TheCommandsOfTheseWindowsAreEnabled)
{
    for (QAction *a : {window->cance, window->sch, window->Tro, window->aiut})
        EXPECT_TRUE(a->isEnabled()) << a->objectName().toStdString();
    for (QPushButton *b : {window->Command6, window->Command1, window->Command11, window->Command5})
        EXPECT_TRUE(b->isEnabled()) << b->objectName().toStdString();
}

TEST_F(Commands, ExportWritesAnagTxtAndSaysSo)
{
    boxes.answerNext(answer::Yes);
    window->Command1->click();
    EXPECT_EQ(dir.read("anag.txt"), QByteArray("Codice|Nome|Indirizzo|Citta|Prov|Accessi E|Relay\r\n"
                                               "0001|ROSSI MARIO|VIA ROMA 1|MILANO|MI|3|1\r\n"
                                               "0003|BIANCHI||BARI||3|1\r\n"));
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_EQ(boxes.shown[0].text, "Esportare l'Archivio clienti ?\r\n\r\n");
    EXPECT_EQ(boxes.last().text, "Creato file 'Anag.txt' !");
    EXPECT_EQ(boxes.last().style, 128);
    EXPECT_EQ(boxes.last().title, "ESPORTA");
    EXPECT_EQ(boxes.beeps, 1);
}

TEST_F(Commands, ExportGoesToThePrefixOfConfiguratermCfg)
{
    QDir(dir.path()).mkdir("EXPORT");
    dir.write("configuraterm.cfg", (dir.file("EXPORT") + "/\r\nx\r\n").toUtf8());
    window->Command1->click();
    EXPECT_TRUE(QFile::exists(dir.file("EXPORT/anag.txt")));
    EXPECT_FALSE(QFile::exists(dir.file("anag.txt")));
}

TEST_F(Commands, ExportAnsweredNoWritesNothing)
{
    boxes.answerNext(answer::No);
    window->Command1->click();
    EXPECT_FALSE(QFile::exists(dir.file("anag.txt")));
    EXPECT_EQ(boxes.shown.size(), 1);
}

TEST_F(Commands, ExportOfAnEmptyRegistry)
{
    dir.write("CLIENTI.DAT", QByteArray());
    window->Command1->click();
    EXPECT_EQ(boxes.last().text, "File anagrafiche Vuoto o inesistente !");
    EXPECT_EQ(boxes.last().style, 256);
    EXPECT_EQ(boxes.last().title, "ESPORTA");
    EXPECT_FALSE(QFile::exists(dir.file("anag.txt")));
}

TEST_F(Commands, AFailedExportIsReportedAndNeverCalledDone)
{
    dir.write("configuraterm.cfg", (dir.file("missing") + "/\r\nx\r\n").toUtf8());
    window->Command1->click();
    ASSERT_EQ(boxes.shown.size(), 2);
    EXPECT_NE(boxes.last().text, "Creato file 'Anag.txt' !");
    EXPECT_TRUE(boxes.last().text.contains(dir.file("missing") + "/anag.txt")) << boxes.last().text.toStdString();
    EXPECT_EQ(boxes.last().title, "ESPORTA");
}

TEST_F(Commands, DeletionFromTheMenu)
{
    onModal<QDialog>([](QDialog *prompt) {
        EXPECT_EQ(prompt->objectName(), "canci1");
        auto *box = prompt->findChild<QLineEdit *>("Testo1");
        QTest::keyClicks(box, "3");
        QTest::keyClick(box, Qt::Key_Return);
    });
    window->cance->trigger();
    EXPECT_EQ(dir.read("CLIENTI.DAT").mid(2 * 246, 246), QByteArray(246, '*'));
    EXPECT_EQ(dir.read("CLIENTI.DAT").size(), 3 * 246);
}

TEST_F(Commands, CardFromTheMenuThroughTheNumberPrompt)
{
    QString shown;
    onModal<QDialog>([](QDialog *prompt) {
        EXPECT_EQ(prompt->objectName(), "schei");
        auto *box = prompt->findChild<QLineEdit *>("Testo1");
        QTest::keyClicks(box, "1");
        QTest::keyClick(box, Qt::Key_Return);
    });
    QTimer::singleShot(100, [&shown] {
        auto *card = qobject_cast<Visual *>(QApplication::activeModalWidget());
        ASSERT_NE(card, nullptr);
        shown = card->Etichetta2->text();
        card->close();
    });
    window->Command11->click();
    EXPECT_EQ(shown, "0001");
}

TEST_F(Commands, SearchKeyHelpAndAboutBoxOpen)
{
    QStringList opened;
    auto note = [&opened](QDialog *w) { opened << w->objectName(); };
    onModal<QDialog>(note);
    window->Tro->trigger();
    onModal<QDialog>(note);
    window->aiut->trigger();
    QAction *about = nullptr;
    for (QAction *menu : window->menuBar()->actions())
        if (menu->text() == "  &?  " && menu->menu())
            for (QAction *item : menu->menu()->actions())
                if (item->objectName() == "info")
                    about = item;
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(about->text(), "&Informazioni");
    onModal<QDialog>(note);
    about->trigger();
    EXPECT_EQ(opened, (QStringList{"Trovi", "Heli", "iNFO"}));
}
