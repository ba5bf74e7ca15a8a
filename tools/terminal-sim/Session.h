#pragma once

#include "Bytes.h"
#include "Faults.h"
#include "FldText.h"
#include "Frames.h"

#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

// The terminal's side of a CRC batch transfer, fed with the bytes that reach it and the time.
// It takes batches the PC sends into an inbox folder (a record data file cut to the size its
// field-definition text gave) and, when the PC invites it with 'C', sends the files of its outbox
// folder as one batch (a record data file after its field-definition text).
namespace termsim {

struct SessionConfig {
    std::filesystem::path inbox;   // empty: the terminal takes no files and does not invite
    std::filesystem::path outbox;  // empty: the terminal has nothing to send
    int sendBatches = 1;           // how often the outbox goes out on invitation
    std::vector<int> outboxFields; // widths for a record data file that has no .FLD beside it
    // Above 0: a batch goes out only on the first invitation after this long without a byte from the
    // PC, as from a terminal whose operator sends once per receive; a continuous receive then gets
    // one batch and waits.
    int quietBeforeBatchMs = 0;
};

struct SessionCounts {
    int batchesReceived = 0;
    int batchesSent = 0;
    int filesStored = 0;
    int filesSent = 0;
    int naksSent = 0;
    int retries = 0; // frames sent again
    int aborts = 0;  // transfers ended with CAN, by either side
};

// True for the extensions of the files that go without a field-definition text.
bool isBinaryName(const std::string &name);
// A received name that is safe to store as a file in the inbox.
bool isSafeName(const std::string &name);
// The order in which an outbox goes out: each record data file right after its .FLD text.
std::vector<std::filesystem::path> batchOrder(std::vector<std::filesystem::path> files);

class Session {
public:
    using Log = std::function<void(Micros now, const std::string &line)>;

    struct Out {
        Bytes bytes;
        Micros notBefore = 0;
    };

    Session(SessionConfig config, Faults &faults, Log log);

    void receive(const Bytes &bytes, Micros now);
    // lineIdle: nothing of the terminal's is still on its way, so an invitation may go.
    void tick(Micros now, bool lineIdle);
    std::vector<Out> takeOutput();
    // The time by which tick wants to run again.
    Micros nextDeadline(Micros now) const;

    const SessionCounts &counts() const { return counts_; }
    bool busy() const { return state_ != State::Idle; }

private:
    enum class State {
        Idle,           // no batch; invites every second when taking files
        RxNextHeader,   // in a batch, after a file: the next header or the batch end
        RxData,         // a data frame or the EOT of the file
        RxFrame,        // inside a frame
        Resync,         // after a bad frame: waits for the line to go quiet, then NAK
        TxHeaderAck,    // sent a header
        TxDataInvite,   // header acknowledged, awaits 'C' for the data
        TxBlockAck,     // sent a data frame
        TxEotAck,       // sent EOT
        TxHeaderInvite, // file done, awaits 'C' for the next header
        TxNullAck,      // sent the batch end
    };
    struct Msg {
        Bytes bytes;
        int delayMs = 0;
    };
    struct Incoming {
        std::string name;
        std::uint64_t size = 0;
        Bytes data;
        std::uint8_t expected = 1;
    };
    struct Outgoing {
        std::string name;
        Bytes data;
    };

    void onByte(std::uint8_t byte, Micros now);
    void onFrame(bool good, Micros now);
    void onHeader(Micros now);
    void onDataFrame(Micros now);
    void onEot(Micros now);
    void onInvite(Micros now);
    void onTimeout(Micros now);

    void respond(Micros now, std::vector<Msg> msgs, State next);
    void emit(Micros now, const std::vector<Msg> &msgs);
    void enter(State next, Micros now);
    void abortWithCan(Micros now, const std::string &why);
    void peerCancelled(Micros now); // the PC's CAN: no CAN back
    bool storeFile(const std::string &name, const Bytes &data, Micros now);

    bool loadBatch(Micros now);
    void sendCurrentHeader(Micros now, State next);
    void finishSentBatch(Micros now, const std::string &note);
    void sendBlock(Micros now, bool again);
    Bytes currentBlock() const;
    bool lastBlockOut() const; // the frame awaiting its ACK is the file's last

    SessionConfig config_;
    Faults &faults_;
    Log log_;
    SessionCounts counts_;
    std::vector<Out> output_;

    State state_ = State::Idle;
    State frameReturn_ = State::Idle; // where a bad frame leaves the terminal
    bool frameIsHeader_ = true;
    Micros since_ = 0;       // start of the current wait
    bool batchArmed_ = true; // with quietBeforeBatchMs: the PC was quiet long enough for a batch
    Micros lastByte_ = 0;    // last byte that reached the terminal
    Micros lastInvite_ = -1000000000;
    int retries_ = 0;
    FrameReader reader_;

    bool stalled_ = false;
    Micros stallEnd_ = 0;
    std::vector<Msg> pending_;
    State pendingState_ = State::Idle;

    // Receiving.
    Incoming incoming_;
    std::map<std::string, FldInfo> fldTexts_; // of the batch, by the data file they name

    // Sending.
    std::vector<Outgoing> batch_;
    std::size_t fileIndex_ = 0;
    std::size_t offset_ = 0; // bytes of the current file sent in acknowledged frames
    std::uint8_t blockNumber_ = 0;
    Micros headerSent_ = 0;
    int batchesLeft_ = 0;
};

} // namespace termsim
