#include "windowfixture.h"

using namespace zorv;
using zorv::test::ConsoleRig;
using zorv::test::waitUntil;

// Three consoles at once, so the 5-second windows overlap: a reader that never answers,
// and a first reply after 2 s with a second one 4 s later for "Read Card" and "Delete Card".
TEST(ConsoleTiming, TimeoutMessageAndTheReadCardWindow)
{
    ConsoleRig silent(1), reading(2), deleting(3);
    // The rigs share the process environment: link all three readers into one home.
    qputenv("XDG_CONFIG_HOME", deleting.home.path().toLocal8Bit());
    ASSERT_TRUE(silent.reader.linkComPort(deleting.home.path(), 1));
    ASSERT_TRUE(reading.reader.linkComPort(deleting.home.path(), 2));
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
    // The three share the fake boxes installed last; tell their messages apart by text.
    FakeMessageBoxes &boxes = deleting.boxes;
    boxes.typeNext("3"); // Read Card
    boxes.typeNext("3"); // Delete Card
    QTest::mouseClick(reading.button(15), Qt::LeftButton);
    QTest::mouseClick(deleting.button(14), Qt::LeftButton);
    QTest::mouseClick(silent.button(4), Qt::LeftButton);
    EXPECT_FALSE(silent.child<QGroupBox>("Command")->isEnabled());

    ASSERT_TRUE(waitUntil([&] { return boxes.shown.size() >= 6; }, 9000)) << boxes.texts().join("|").toStdString();
    QStringList texts = boxes.texts();
    EXPECT_EQ(texts.count("Timeout No answer from Zorv900"), 2) << texts.join("|").toStdString();
    EXPECT_EQ(texts.count("Zorv900 answered: OK"), 1) << texts.join("|").toStdString();
    EXPECT_EQ(reading.reader.received(), QByteArray("RDCA\r2\r"));
    EXPECT_EQ(deleting.reader.received(), QByteArray("DECA\r2\r"));
    EXPECT_EQ(silent.reader.received(), QByteArray("INIT\r"));
    for (ConsoleRig *rig : {&silent, &reading, &deleting})
        EXPECT_TRUE(rig->child<QGroupBox>("Command")->isEnabled());
}
