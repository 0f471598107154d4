#include "linkfixture.h"

using namespace zorv;
using namespace zorv::reader;
using zorv::test::Outcome;
using zorv::test::PtyReader;

// A first reply after 2 s and a second one 4 s later: the read-card exchange keeps the
// window of its first send and times out; the normal exchange opens a fresh window and
// gets the reply. Both run at once on two readers.
TEST(ReadCardWindow, SecondReplyFourSecondsAfterAFirstThatTookTwo)
{
    const zorv::test::SystemClockInstalled clock;
    zorv::test::TempFolder home;
    const QByteArray oldHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", home.path().toLocal8Bit());
    emulator::ReaderEmulator a, b;
    ASSERT_TRUE(a.start() && b.start());
    ASSERT_TRUE(a.linkComPort(home.path(), 1) && b.linkComPort(home.path(), 2));
    QtSerialPort pa, pb;
    ASSERT_TRUE(pa.open(1, "9600,n,8,1") && pb.open(2, "9600,n,8,1"));
    ReaderLink la(&pa), lb(&pb);
    for (auto *r : {&a, &b}) {
        r->setDelay("RDCA", 2000);
        r->setDelay("RDCA2", 4000);
        r->setDelay("DECA", 2000);
        r->setDelay("DECA2", 4000);
    }
    a.setSlot(2, "123456789012", '1');
    Outcome<TwoPhaseResult> rdca, deca;
    la.twoPhase("RDCA", "WAIT ADDRESS", "2", ReaderLink::TwoPhaseMode::ReadCard, rdca.sink());
    lb.twoPhase("DECA", "WAIT ADDRESS", "2", ReaderLink::TwoPhaseMode::Normal, deca.sink());
    ASSERT_TRUE(rdca.wait(9000));
    ASSERT_TRUE(deca.wait(9000));
    EXPECT_TRUE(rdca.value->promptMatched);
    EXPECT_EQ(rdca.value->reply.status, Reply::TimedOut);
    EXPECT_GE(rdca.elapsedMs, 4900);
    EXPECT_LT(rdca.elapsedMs, 5600);
    EXPECT_EQ(deca.value->reply.status, Reply::Complete);
    EXPECT_EQ(deca.value->reply.text, "OK");
    // No flush and no pause after the payload for the read-card exchange.
    EXPECT_EQ(a.received(), QByteArray("RDCA\r2\r"));
    EXPECT_EQ(b.received(), QByteArray("DECA\r2\r"));
    qputenv("XDG_CONFIG_HOME", oldHome);
}
