// The terminal's protocol against a scripted PC, on a clock the test moves.

#include "Faults.h"
#include "FldText.h"
#include "Frames.h"
#include "Session.h"

#include "tests/support/TestIsolation.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

using namespace termsim;
namespace fs = std::filesystem;

namespace {

std::string readAll(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class ScriptedPc : public testing::Test {
protected:
    void SetUp() override
    {
        root = fs::path(testsupport::caseFolder().toStdString());
        fs::create_directories(root / "in");
        fs::create_directories(root / "out");
    }
    void start(SessionConfig config, FaultPlan plan = {})
    {
        faults = std::make_unique<Faults>(plan);
        session = std::make_unique<Session>(std::move(config), *faults,
                                            [this](Micros, const std::string &l) { log += l + "\n"; });
    }
    // Moves the clock and returns what the terminal sent by then.
    Bytes advance(int ms)
    {
        Bytes got;
        for (int i = 0; i < ms; ++i) {
            now += MicrosPerMs;
            session->tick(now, true);
            for (auto &o : session->takeOutput())
                pending.push_back(o);
        }
        for (auto it = pending.begin(); it != pending.end();) {
            if (it->notBefore <= now) {
                got.insert(got.end(), it->bytes.begin(), it->bytes.end());
                it = pending.erase(it);
            } else {
                ++it;
            }
        }
        return got;
    }
    Bytes send(const Bytes &b, int thenMs = 200)
    {
        session->receive(b, now);
        return advance(thenMs);
    }
    Bytes frame(std::uint8_t number, const std::string &data, std::size_t size = LongBlock)
    {
        return makeFrame(number, reinterpret_cast<const std::uint8_t *>(data.data()), data.size(), size);
    }

    fs::path root;
    std::unique_ptr<Faults> faults;
    std::unique_ptr<Session> session;
    std::vector<Session::Out> pending;
    Micros now = 0;
    std::string log;
};

const Bytes AckInvite{ACK, INVITE};

TEST_F(ScriptedPc, StoresARecordFileCutByItsFieldDefinition)
{
    start({root / "in", {}, 1, {}});
    EXPECT_EQ(advance(1000), Bytes{INVITE});
    const std::string fld = makeFldText(fldFor("MASTER.DAT", 18, {4, 1, 2}));
    EXPECT_EQ(send(makeHeader("MASTER.FLD", fld.size())), AckInvite);
    EXPECT_EQ(send(frame(1, fld, ShortBlock)), Bytes{ACK});
    EXPECT_EQ(send({EOT}), AckInvite);
    EXPECT_EQ(send(makeHeader("MASTER.DAT", 1024)), AckInvite) << "a size rounded up by the PC";
    EXPECT_EQ(send(frame(1, "ABCD1XY\r\nEFGH2ZW\r\nfilling")), Bytes{ACK});
    EXPECT_EQ(send({EOT}), AckInvite);
    // Back to waiting, the terminal invites the next batch at once.
    EXPECT_EQ(send(makeNullHeader()), (Bytes{ACK, INVITE}));
    EXPECT_EQ(readAll(root / "in/MASTER.DAT"), "ABCD1XY\r\nEFGH2ZW\r\n");
    EXPECT_EQ(readAll(root / "in/MASTER.FLD"), fld);
    EXPECT_EQ(session->counts().batchesReceived, 1);
    EXPECT_EQ(session->counts().filesStored, 2);
}

TEST_F(ScriptedPc, RefusesBadFramesAndTakesARepeatOnce)
{
    start({root / "in", {}, 1, {}});
    advance(1000);
    EXPECT_EQ(send(makeHeader("PRG.PD4", 2000)), AckInvite);
    Bytes bad = frame(1, std::string(1024, 'a'));
    bad[500] ^= 1;
    EXPECT_EQ(send(bad), Bytes{NAK}) << "after the line went quiet";
    EXPECT_EQ(send(frame(1, std::string(1024, 'a'))), Bytes{ACK});
    EXPECT_EQ(send(frame(1, std::string(1024, 'a'))), Bytes{ACK}) << "the ACK was lost";
    EXPECT_EQ(send(frame(3, std::string(976, 'c'))), Bytes{NAK}) << "out of sequence";
    EXPECT_EQ(send(frame(2, std::string(976, 'b'))), Bytes{ACK});
    EXPECT_EQ(send({EOT}), AckInvite);
    EXPECT_EQ(readAll(root / "in/PRG.PD4"), std::string(1024, 'a') + std::string(976, 'b'));
    // A frame cut short is refused once the gap inside it has lasted.
    EXPECT_EQ(send(makeHeader("B.PD4", 1)), AckInvite);
    const Bytes whole = frame(1, "x");
    const Bytes half(whole.begin(), whole.begin() + 600);
    EXPECT_EQ(send(half, 1200), Bytes{NAK});
}

TEST_F(ScriptedPc, CancelsANameThatLeavesTheInbox)
{
    start({root / "in", {}, 1, {}});
    advance(1000);
    EXPECT_EQ(send(makeHeader("../ESCAPE.PD4", 10), 50), (Bytes{CAN, INVITE}));
    EXPECT_EQ(advance(60), Bytes{CAN}) << "the second CAN follows 100 ms later";
    EXPECT_FALSE(fs::exists(root / "ESCAPE.PD4"));
    EXPECT_TRUE(fs::is_empty(root / "in"));
    EXPECT_FALSE(session->busy());
}

TEST_F(ScriptedPc, SendsItsOutboxWhenInvited)
{
    std::ofstream(root / "out/MASTER.DAT", std::ios::binary) << "ABCD1XY\r\n";
    std::ofstream(root / "out/PRG.PD4", std::ios::binary) << std::string(1500, 'p');
    start({{}, root / "out", 1, {4, 1, 2}});
    EXPECT_TRUE(advance(3000).empty()) << "a terminal that only sends does not invite";
    const std::string fld = makeFldText(fldFor("MASTER.DAT", 9, {4, 1, 2}));
    EXPECT_EQ(send({INVITE}), makeHeader("MASTER.FLD", fld.size()));
    EXPECT_TRUE(send({ACK}).empty());
    EXPECT_EQ(send({INVITE}), frame(1, fld, ShortBlock));
    EXPECT_EQ(send({NAK}), frame(1, fld, ShortBlock));
    EXPECT_EQ(send({ACK}), Bytes{EOT});
    EXPECT_EQ(send({NAK}), Bytes{EOT});
    EXPECT_TRUE(send({ACK}).empty());
    EXPECT_EQ(send({INVITE}), makeHeader("MASTER.DAT", 9));
    send({ACK});
    EXPECT_EQ(send({INVITE}), frame(1, "ABCD1XY\r\n", ShortBlock));
    EXPECT_EQ(send({ACK}), Bytes{EOT});
    send({ACK});
    EXPECT_EQ(send({INVITE}), makeHeader("PRG.PD4", 1500));
    send({ACK});
    EXPECT_EQ(send({INVITE}), frame(1, std::string(1024, 'p')));
    EXPECT_EQ(send({ACK}), frame(2, std::string(476, 'p')));
    EXPECT_EQ(send({ACK}), Bytes{EOT});
    send({ACK});
    EXPECT_EQ(send({INVITE}), makeNullHeader());
    send({ACK});
    EXPECT_EQ(session->counts().batchesSent, 1);
    EXPECT_EQ(session->counts().filesSent, 3);
    // Invited again with nothing left: an empty batch.
    EXPECT_EQ(send({INVITE}), makeNullHeader());
    send({ACK});
    EXPECT_EQ(session->counts().batchesSent, 1);
}

// A continuous receive invites at once after a batch and then every second: with a quiet time the
// terminal answers none of that, and sends again only to a receive started after a pause.
TEST_F(ScriptedPc, WithAQuietTimeOneBatchGoesToEachReceive)
{
    std::ofstream(root / "out/PRG.PD4", std::ios::binary) << "pp";
    SessionConfig config{{}, root / "out", 100, {}, 2000};
    start(config);
    const auto oneBatch = [&] {
        EXPECT_EQ(send({INVITE}), makeHeader("PRG.PD4", 2));
        send({ACK});
        EXPECT_EQ(send({INVITE}), frame(1, "pp", ShortBlock));
        EXPECT_EQ(send({ACK}), Bytes{EOT});
        send({ACK});
        EXPECT_EQ(send({INVITE}), makeNullHeader());
        send({ACK}, 10);
    };
    oneBatch();
    EXPECT_EQ(session->counts().batchesSent, 1);
    EXPECT_TRUE(send({INVITE}, 1000).empty()) << "the invitation right after the batch";
    for (int i = 0; i < 5; ++i)
        EXPECT_TRUE(send({INVITE}, 1000).empty()) << "the invitations of a waiting receive";
    EXPECT_EQ(session->counts().batchesSent, 1);
    advance(2000); // the receive ended; the next one starts after a pause
    oneBatch();
    EXPECT_EQ(session->counts().batchesSent, 2);
}

TEST_F(ScriptedPc, TerminalFaults)
{
    FaultPlan nak;
    nak.nakForC = 1;
    start({root / "in", {}, 1, {}}, nak);
    advance(1000);
    EXPECT_EQ(send(makeHeader("PRG.PD4", 10)), (Bytes{ACK, NAK}));

    FaultPlan stall;
    stall.stall = 1;
    stall.stallMs = 2000;
    start({root / "in", {}, 1, {}}, stall);
    advance(1000);
    EXPECT_TRUE(send(makeHeader("PRG.PD4", 10), 1500).empty());
    EXPECT_TRUE(send(makeHeader("PRG.PD4", 10), 100).empty()) << "not heard while stalled";
    EXPECT_EQ(advance(600), AckInvite);
}

TEST_F(ScriptedPc, LostAcksAtAFilesEnd)
{
    FaultPlan lose;
    lose.loseEndAck = 1;
    // Taking a file: our ACKs of its last frame and of its EOT are lost; the PC's repeats get one.
    start({root / "in", {}, 1, {}}, lose);
    advance(1000);
    EXPECT_EQ(send(makeHeader("PRG.PD4", 10)), AckInvite);
    EXPECT_TRUE(send(frame(1, "0123456789", ShortBlock)).empty());
    EXPECT_EQ(send(frame(1, "0123456789", ShortBlock)), Bytes{ACK});
    EXPECT_EQ(send({EOT}), Bytes{INVITE});
    EXPECT_EQ(send({EOT}), Bytes{ACK});
    EXPECT_EQ(readAll(root / "in/PRG.PD4"), "0123456789");
    EXPECT_EQ(faults->counts().endAcksLost, 2);

    // Sending: the PC's ACK of the last frame is not heard, so a NAK brings the frame again.
    std::ofstream(root / "out/PRG.PD4", std::ios::binary) << std::string(1500, 'p');
    start({{}, root / "out", 1, {}}, lose);
    send({INVITE});
    send({ACK});
    EXPECT_EQ(send({INVITE}), frame(1, std::string(1024, 'p')));
    EXPECT_EQ(send({ACK}), frame(2, std::string(476, 'p')));
    EXPECT_TRUE(send({ACK}).empty());
    EXPECT_EQ(send({NAK}), frame(2, std::string(476, 'p')));
    EXPECT_EQ(faults->counts().endAcksLost, 1);
}

} // namespace
