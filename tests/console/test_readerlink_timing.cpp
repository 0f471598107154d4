#include "linkfixture.h"

using namespace zorv;
using namespace zorv::reader;
using zorv::test::Outcome;
using zorv::test::PtyReader;
using zorv::test::waitUntil;

// The 5-second window counts once from the send; a late reply stays in the buffer.
TEST_F(PtyReader, LateReplyTimesOutAndStaysForTheNextCommand)
{
    ASSERT_TRUE(openPort());
    ReaderLink link(&port);
    reader.setDelay("INIT", 5300);
    Outcome<Reply> got;
    link.exchange("INIT", true, got.sink());
    ASSERT_TRUE(got.wait(8000));
    EXPECT_EQ(got.value->status, Reply::TimedOut);
    EXPECT_GE(got.elapsedMs, 4900);
    EXPECT_LT(got.elapsedMs, 5300);
    ASSERT_TRUE(waitUntil([&] { return port.bytesWaiting() >= 3; }, 2000));
    // A command that does not flush takes the leftover as its reply.
    Outcome<Reply> next;
    reader.withhold("RDCA");
    link.exchange("RDCA", false, next.sink());
    ASSERT_TRUE(next.wait());
    EXPECT_EQ(next.value->text, "OK");
}

// A slow trickle: each character in time, but the CR after 5 s from the send.
TEST_F(PtyReader, WindowIsForTheWholeReplyNotPerCharacter)
{
    ASSERT_TRUE(openPort());
    ReaderLink link(&port);
    reader.withhold("STMA");
    Outcome<Reply> got;
    link.exchange("STMA", true, got.sink());
    for (int i = 0; i < 6; ++i)
        QTimer::singleShot(1000 * i + 500, [&] { reader.sendRaw("x"); });
    QTimer::singleShot(6000, [&] { reader.sendRaw("\r"); });
    ASSERT_TRUE(got.wait(8000));
    EXPECT_EQ(got.value->status, Reply::TimedOut);
    EXPECT_LT(got.elapsedMs, 5300);
}
