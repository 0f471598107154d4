#include "inputdfid.h"
#include "fakemessageboxes.h"
#include "discountcustomer.h"
#include "record.h"
#include "registryfile.h"
#include "testsupport.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

using namespace zorv;
using namespace zorv::console;
using namespace zorv::registry;

namespace {

const auto customer = zorv::test::discountCustomer;

class DiscountCard : public ::testing::Test {
protected:
    DiscountCard() : boxesService(&boxes) {}
    void SetUp() override
    {
        RegistryFile file(folder.file("CLIENTI.DAT"));
        ASSERT_TRUE(file.write(1, customer("ROSSI MARIO", "123", "2", "1500")).isEmpty());
        ASSERT_TRUE(file.write(2, customer("BIANCHI LUCA", "456-15", "3", "99.5")).isEmpty());
        ASSERT_TRUE(file.write(3, customer("VERDI ANNA", "456-20", "1", "7")).isEmpty());
        window = std::make_unique<inputdfid>(file.path());
        window->show();
    }
    QStringList values() const
    {
        return {window->Label6->text(), window->Label4->text(), window->Label2->text(),
                window->Label1->text(), window->Label8->text()};
    }

    FakeMessageBoxes boxes;
    ScopedService<MessageBoxes> boxesService;
    test::TempFolder folder;
    std::unique_ptr<inputdfid> window;
};

} // namespace

TEST_F(DiscountCard, CaptionsAndBox)
{
    EXPECT_EQ(window->objectName(), "inputdfid");
    EXPECT_EQ(window->windowTitle(), "Carta Sconto");
    EXPECT_EQ(window->Command2->text(), "Conferma");
    EXPECT_EQ(window->Command3->text(), "Annulla");
    EXPECT_EQ(window->Text1->maxLength(), 30);
    for (const char *caption : {"Numero Carta:", "Num. Cli:", "Nome Cliente:", "Sconto %", "Listino", "Totale acquisti:"}) {
        bool found = false;
        for (QLabel *l : window->findChildren<QLabel *>())
            found = found || l->text() == QString::fromLatin1(caption);
        EXPECT_TRUE(found) << caption;
    }
}

TEST_F(DiscountCard, KeypadAppendsAndKeysAreFiltered)
{
    QPushButton *pad[] = {window->Command9,  window->Command10, window->Command11, window->Command12,
                          window->Command13, window->Command14, window->Command15, window->Command16,
                          window->Command17, window->Command18, window->Command21};
    for (QPushButton *b : pad)
        QTest::mouseClick(b, Qt::LeftButton);
    EXPECT_EQ(window->Text1->text(), "1234567890,");
    EXPECT_EQ(window->focusWidget(), window->Text1);
    QTest::mouseClick(window->Command19, Qt::LeftButton);
    EXPECT_EQ(window->Text1->text(), "");

    QTest::keyClicks(window->Text1, "4a5.6 ,-");
    EXPECT_EQ(window->Text1->text(), "456,");
    QTest::keyClick(window->Text1, Qt::Key_Backspace);
    EXPECT_EQ(window->Text1->text(), "456,");
    EXPECT_TRUE(boxes.shown.isEmpty());
    // Tab is no key of the box's: it moves the focus on, Shift+Tab back.
    window->Text1->setFocus();
    zorv::test::pressTab(window->Text1);
    EXPECT_NE(window->focusWidget(), window->Text1);
    zorv::test::pressTab(window->focusWidget(), true);
    EXPECT_EQ(window->focusWidget(), window->Text1);
    EXPECT_EQ(window->Text1->text(), "456,");
}

TEST_F(DiscountCard, NothingTypedAsksForANumber)
{
    for (const char *typed : {"", "0", ",", "0,00"}) {
        window->Text1->setText(QString::fromLatin1(typed));
        boxes.shown.clear();
        QTest::mouseClick(window->Command20, Qt::LeftButton);
        ASSERT_EQ(boxes.texts(), QStringList{"Impostare un numero di Carta"}) << typed;
        EXPECT_EQ(boxes.last().title, "Carta Sconto");
        EXPECT_EQ(window->focusWidget(), window->Text1);
    }
}

TEST_F(DiscountCard, SearchShowsTheCustomerAndTheDiscount)
{
    QTest::keyClicks(window->Text1, "123");
    QTest::mouseClick(window->Command20, Qt::LeftButton);
    EXPECT_TRUE(boxes.shown.isEmpty());
    EXPECT_EQ(values(), (QStringList{"0001", "ROSSI MARIO", "", "2", "1500"}));

    window->Text1->clear();
    QTest::keyClicks(window->Text1, "456");
    QTest::keyClick(window->Text1, Qt::Key_Return); // Enter searches
    EXPECT_EQ(window->Text1->text(), "456");
    EXPECT_EQ(values(), (QStringList{"0002", "BIANCHI LUCA", "15", "3", "99.5"}));
}

TEST_F(DiscountCard, UnknownCardKeepsWhatWasShown)
{
    QTest::keyClicks(window->Text1, "123");
    QTest::mouseClick(window->Command20, Qt::LeftButton);
    window->Text1->clear();
    QTest::keyClicks(window->Text1, "12");
    QTest::mouseClick(window->Command20, Qt::LeftButton);
    EXPECT_EQ(boxes.texts(), QStringList{"Carta non Presente"});
    EXPECT_EQ(boxes.last().title, "Carta Sconto");
    EXPECT_EQ(values(), (QStringList{"0001", "ROSSI MARIO", "", "2", "1500"}));

    QTest::mouseClick(window->Command19, Qt::LeftButton);
    EXPECT_EQ(values(), QStringList(5, QString()));
}

TEST_F(DiscountCard, EmptyRegistry)
{
    window = std::make_unique<inputdfid>(folder.file("MISSING.DAT"));
    window->Text1->setText("123");
    QTest::mouseClick(window->Command20, Qt::LeftButton);
    EXPECT_EQ(boxes.texts(), QStringList{"File anagrafiche Vuoto o inesistente !"});
    EXPECT_FALSE(QFile::exists(folder.file("MISSING.DAT")));
}

TEST_F(DiscountCard, ConfermaOnlyChecksTheNumberAndAnnullaCloses)
{
    QTest::mouseClick(window->Command2, Qt::LeftButton);
    EXPECT_EQ(window->focusWidget(), window->Text1);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(boxes.shown.isEmpty());
    QTest::mouseClick(window->Command3, Qt::LeftButton);
    EXPECT_FALSE(window->isVisible());
}
