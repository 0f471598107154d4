#include "cartasconto.h"
#include "discountcustomer.h"
#include "record.h"
#include "registryfile.h"
#include "testsupport.h"

#include <gtest/gtest.h>

using namespace zorv::console;
using namespace zorv::registry;
using zorv::test::TempFolder;

namespace {

const auto customer = zorv::test::discountCustomer;

class CercaCarta : public ::testing::Test {
protected:
    void SetUp() override
    {
        const Record records[] = {
            customer("ROSSI MARIO", "123", "2", "1500.50"),    // 1
            customer("BIANCHI LUCA", "456-10", "3", "200"),    // 2
            customer("VERDI ANNA", "7890", "1", "10"),         // 3
            customer("NERI PAOLO", "21-11", "1", "5"),         // 4
            Record::deleted(),                                 // 5
            customer("GIALLI SARA", "555-20", "2", "70"),      // 6
            customer("BLU ELENA", "555-30", "3", "80"),        // 7
            customer("SENZA CARTA", "", "1", "0"),             // 8
            customer("ROSA PIA", "999", "1", "0"),             // 9
        };
        int n = 0;
        for (const Record &r : records)
            ASSERT_TRUE(file().write(++n, r).isEmpty());
        // Record 5 held card 999 before it was deleted; record 9 has it now.
    }
    RegistryFile file() const { return RegistryFile(folder.file("CLIENTI.DAT")); }

    TempFolder folder;
};

} // namespace

TEST_F(CercaCarta, CardEqualToTheTypedNumberHasNoDiscount)
{
    const CartaSconto c = cercacarta(file().path(), "123");
    ASSERT_EQ(c.esito, CartaSconto::Trovata);
    EXPECT_EQ(c.numero, 1);
    EXPECT_EQ(c.nome, "ROSSI MARIO");
    EXPECT_EQ(c.listino, "2");
    EXPECT_EQ(c.totale, "1500.50");
    EXPECT_EQ(c.sconto, "");
}

TEST_F(CercaCarta, CardWithDashShowsTheDiscountAfterIt)
{
    const CartaSconto c = cercacarta(file().path(), "456");
    ASSERT_EQ(c.esito, CartaSconto::Trovata);
    EXPECT_EQ(c.numero, 2);
    EXPECT_EQ(c.nome, "BIANCHI LUCA");
    EXPECT_EQ(c.sconto, "10");
    EXPECT_EQ(c.listino, "3");
    EXPECT_EQ(c.totale, "200");
}

TEST_F(CercaCarta, OnlyTheWholeCardNumberMatches)
{
    // Begins with the typed number but no "-" right after it.
    EXPECT_EQ(cercacarta(file().path(), "789").esito, CartaSconto::NonPresente);
    // The typed number inside another card, right before that card's own "-".
    EXPECT_EQ(cercacarta(file().path(), "11").esito, CartaSconto::NonPresente);
    EXPECT_EQ(cercacarta(file().path(), "1").esito, CartaSconto::NonPresente);
    // Longer than the card.
    EXPECT_EQ(cercacarta(file().path(), "1234").esito, CartaSconto::NonPresente);
    EXPECT_EQ(cercacarta(file().path(), "21").sconto, "11");
}

TEST_F(CercaCarta, LowerRecordNumberWins)
{
    const CartaSconto c = cercacarta(file().path(), "555");
    ASSERT_EQ(c.esito, CartaSconto::Trovata);
    EXPECT_EQ(c.numero, 6);
    EXPECT_EQ(c.sconto, "20");
}

TEST_F(CercaCarta, DeletedAndCardlessRecordsAreNeverFound)
{
    const CartaSconto c = cercacarta(file().path(), "999");
    ASSERT_EQ(c.esito, CartaSconto::Trovata);
    EXPECT_EQ(c.numero, 9);
    EXPECT_EQ(cercacarta(file().path(), "***").esito, CartaSconto::NonPresente);
    EXPECT_FALSE(cartaCorrisponde("", ""));
}

TEST(CercaCartaFile, EmptyOrMissingRegistry)
{
    TempFolder folder;
    EXPECT_EQ(cercacarta(folder.file("CLIENTI.DAT"), "123").esito, CartaSconto::FileVuoto);
    folder.write("CLIENTI.DAT", QByteArray(kRecordSize - 1, ' '));
    EXPECT_EQ(cercacarta(folder.file("CLIENTI.DAT"), "123").esito, CartaSconto::FileVuoto);
    EXPECT_EQ(folder.read("CLIENTI.DAT").size(), kRecordSize - 1); // left as it was
}

TEST(CercaCartaNumber, CommaIsTheDecimalPointAndNothingTypedIsZero)
{
    EXPECT_EQ(numeroDigitato(""), 0);
    EXPECT_EQ(numeroDigitato("0"), 0);
    EXPECT_EQ(numeroDigitato(","), 0);
    EXPECT_EQ(numeroDigitato("0,0"), 0);
    EXPECT_EQ(numeroDigitato("1,5"), 1.5);
    EXPECT_EQ(numeroDigitato("0123"), 123);
}
