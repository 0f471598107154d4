#include "consolewindowfixture.h"
#include "fakemessageboxes.h"

using namespace zorv;
using zorv::test::ConsoleRig;
using zorv::test::waitUntil;

// Three consoles at once, so the 5-second windows overlap: a reader that never answers,
// and a first reply after 2 s with a second one 4 s later for "Read Card" and "Delete Card".
TEST(ConsoleTiming, TimeoutMessageAndTheReadCardWindow)
{
    ConsoleRig listing(4), silent(1), reading(2), deleting(3);
    // The rigs share the process environment: link all three readers into one home.
    qputenv("XDG_CONFIG_HOME", deleting.home.path().toLocal8Bit());
    ASSERT_TRUE(silent.reader.linkComPort(deleting.home.path(), 1));
    ASSERT_TRUE(reading.reader.linkComPort(deleting.home.path(), 2));
    ASSERT_TRUE(listing.reader.linkComPort(deleting.home.path(), 4));
    listing.connectPort();
    silent.connectPort();
    reading.connectPort();
    deleting.connectPort();

    silent.reader.withhold("INIT");
    for (ConsoleRig *rig : {&reading, &deleting}) {
        rig->reader.setDelay("RDCA", 2000);
        rig->reader.setDelay("RDCA2", 4000);
        rig->reader.setDelay("DECA", 2000);
        rig->reader.setDelay("DECA2", 4000);
    }
    // Ten lines 1.2 s apart: five come within the window.
    listing.reader.setDelay("RDARLINE", 1200);
    for (int i = 0; i < 10; ++i)
        console::ElencoCarte[i] = QStringLiteral("old %1").arg(i + 1);

    // The four share the fake boxes installed last; tell their messages apart by text.
    FakeMessageBoxes &boxes = deleting.boxes;
    boxes.typeNext("3"); // Read Card
    boxes.typeNext("3"); // Delete Card
    QTest::mouseClick(reading.button(15), Qt::LeftButton);
    QTest::mouseClick(deleting.button(14), Qt::LeftButton);
    QTest::mouseClick(silent.button(4), Qt::LeftButton);
    QTest::mouseClick(listing.button(16), Qt::LeftButton);
    EXPECT_FALSE(silent.child<QGroupBox>("Command")->isEnabled());

    ASSERT_TRUE(waitUntil([&] { return boxes.shown.size() >= 7; }, 9000)) << boxes.texts().join("|").toStdString();
    QStringList texts = boxes.texts();
    EXPECT_EQ(texts.count("Timeout No answer from Zorv900"), 3) << texts.join("|").toStdString();
    EXPECT_EQ(texts.count("Zorv900 answered: OK"), 1) << texts.join("|").toStdString();
    EXPECT_EQ(reading.reader.received(), QByteArray("RDCA\r2\r"));
    EXPECT_EQ(deleting.reader.received(), QByteArray("DECA\r2\r"));
    EXPECT_EQ(silent.reader.received(), QByteArray("INIT\r"));
    // The list keeps the lines read; the others keep their old text; no list opened.
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(console::ElencoCarte[i], QStringLiteral("Card %1= NO CARD").arg(i + 1));
    for (int i = 5; i < 10; ++i)
        EXPECT_EQ(console::ElencoCarte[i], QStringLiteral("old %1").arg(i + 1));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    for (ConsoleRig *rig : {&listing, &silent, &reading, &deleting})
        EXPECT_TRUE(rig->child<QGroupBox>("Command")->isEnabled());
}
