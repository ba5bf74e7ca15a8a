#include "Session.h"

#include "Frames.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <set>
#include <system_error>

namespace termsim {
namespace {

constexpr Micros FrameGapLimit = 1000 * MicrosPerMs; // silence inside a frame that makes it bad
constexpr Micros QuietTime = 100 * MicrosPerMs;      // silence after a bad frame before the NAK
constexpr Micros ReceiveWait = 4000 * MicrosPerMs;   // for the next frame or EOT
constexpr Micros SendWait = 10000 * MicrosPerMs;     // for an answer to what the terminal sent
constexpr Micros BatchEndWait = 5000 * MicrosPerMs;  // for the ACK of the batch end
constexpr Micros InviteEvery = 1000 * MicrosPerMs;
constexpr Micros ReinviteAfter = 1500 * MicrosPerMs; // a 'C' this long after a header asks again
constexpr int RetryLimit = 10;
constexpr int InvitePauseMs = 100; // between ACK and 'C', so the PC reads them apart

std::string upper(std::string text)
{
    for (char &c : text)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return text;
}

std::string extensionOf(const std::string &name)
{
    const auto dot = name.rfind('.');
    return dot == std::string::npos ? std::string() : upper(name.substr(dot));
}

std::string stemOf(const std::string &name)
{
    const auto dot = name.rfind('.');
    return upper(dot == std::string::npos ? name : name.substr(0, dot));
}

bool isFldName(const std::string &name)
{
    return extensionOf(name) == ".FLD";
}

std::size_t blockSizeFor(std::size_t remaining)
{
    return remaining <= ShortBlock ? ShortBlock : LongBlock;
}

} // namespace

bool isBinaryName(const std::string &name)
{
    static const std::set<std::string> binary = {".PD3", ".PD4", ".FN3", ".FN4", ".EX3",
                                                 ".LCS", ".BMP", ".JPG", ".WAV", ".ZIP"};
    return binary.count(extensionOf(name)) != 0;
}

bool isSafeName(const std::string &name)
{
    if (name.empty() || name.size() > 64 || name == "." || name == ".." || name.front() == '.')
        return false;
    return std::none_of(name.begin(), name.end(),
                        [](char c) { return c == '/' || c == '\\' || static_cast<unsigned char>(c) < 0x20; });
}

std::vector<std::filesystem::path> batchOrder(std::vector<std::filesystem::path> files)
{
    std::sort(files.begin(), files.end());
    std::map<std::string, std::filesystem::path> fldByStem;
    for (const auto &f : files)
        if (isFldName(f.filename().string()))
            fldByStem[stemOf(f.filename().string())] = f;
    std::set<std::string> partnered;
    for (const auto &f : files) {
        const std::string name = f.filename().string();
        if (!isFldName(name) && fldByStem.count(stemOf(name)))
            partnered.insert(stemOf(name));
    }
    std::vector<std::filesystem::path> order;
    for (const auto &f : files) {
        const std::string name = f.filename().string();
        if (isFldName(name)) {
            if (!partnered.count(stemOf(name)))
                order.push_back(f);
            continue;
        }
        if (partnered.count(stemOf(name)))
            order.push_back(fldByStem[stemOf(name)]);
        order.push_back(f);
    }
    return order;
}

Session::Session(SessionConfig config, Faults &faults, Log log)
    : config_(std::move(config)), faults_(faults), log_(std::move(log)), batchesLeft_(config_.sendBatches)
{
}

void Session::receive(const Bytes &bytes, Micros now)
{
    for (std::uint8_t b : bytes) {
        if (config_.quietBeforeBatchMs > 0 && now - lastByte_ >= config_.quietBeforeBatchMs * MicrosPerMs)
            batchArmed_ = true;
        lastByte_ = now;
        if (stalled_)
            continue; // a busy terminal does not hear the line
        onByte(b, now);
    }
}

void Session::onByte(std::uint8_t byte, Micros now)
{
    switch (state_) {
    case State::RxFrame: {
        const FrameReader::Step step = reader_.feed(byte);
        if (step != FrameReader::Step::More)
            onFrame(step == FrameReader::Step::Good, now);
        return;
    }
    case State::Resync:
        return;
    case State::Idle:
        if (byte == INVITE) {
            onInvite(now);
        } else if ((byte == SOH || byte == STX) && !config_.inbox.empty()) {
            frameReturn_ = State::Idle;
            frameIsHeader_ = true;
            reader_.start(byte);
            state_ = State::RxFrame;
        }
        return;
    case State::RxNextHeader:
    case State::RxData:
        if (byte == SOH || byte == STX) {
            frameReturn_ = state_;
            frameIsHeader_ = state_ == State::RxNextHeader;
            reader_.start(byte);
            state_ = State::RxFrame;
        } else if (byte == EOT && state_ == State::RxData) {
            onEot(now);
        } else if (byte == EOT) {
            respond(now, {{{ACK}, 0}}, State::RxNextHeader); // our ACK of the last EOT was lost
        } else if (byte == CAN) {
            peerCancelled(now);
        }
        return;
    default:
        break;
    }

    // Sending states.
    if (byte == CAN) {
        peerCancelled(now);
        return;
    }
    switch (state_) {
    case State::TxHeaderAck:
        if (byte == ACK) {
            retries_ = 0;
            enter(State::TxDataInvite, now);
        } else if (byte == NAK || (byte == INVITE && now - since_ >= ReinviteAfter)) {
            ++counts_.retries;
            sendCurrentHeader(now, State::TxHeaderAck);
        }
        break;
    case State::TxDataInvite:
        if (byte == INVITE || byte == NAK) {
            offset_ = 0;
            blockNumber_ = 1;
            sendBlock(now, false);
        }
        break;
    case State::TxBlockAck:
        if (byte == ACK && lastBlockOut() && faults_.loseEndAckNow()) {
            log_(now, "fault: lost the ACK of the last frame");
        } else if (byte == ACK) {
            retries_ = 0;
            const std::size_t size = batch_[fileIndex_].data.size();
            offset_ += std::min(blockSizeFor(size - offset_), size - offset_);
            ++blockNumber_;
            sendBlock(now, false);
        } else if (byte == NAK) {
            sendBlock(now, true);
        }
        break;
    case State::TxEotAck:
        if (byte == ACK && faults_.loseEndAckNow()) {
            log_(now, "fault: lost the ACK of the EOT");
        } else if (byte == ACK) {
            retries_ = 0;
            ++counts_.filesSent;
            log_(now, "sent " + batch_[fileIndex_].name + " " +
                          std::to_string(batch_[fileIndex_].data.size()) + " bytes");
            ++fileIndex_;
            enter(State::TxHeaderInvite, now);
        } else if (byte == NAK || (byte == INVITE && now - since_ >= ReinviteAfter)) {
            // A 'C' well after the EOT: the PC has the file but its ACK was lost on the way.
            sendBlock(now, true);
        }
        break;
    case State::TxHeaderInvite:
        if (byte == INVITE) {
            retries_ = 0;
            sendCurrentHeader(now, fileIndex_ < batch_.size() ? State::TxHeaderAck : State::TxNullAck);
        }
        break;
    case State::TxNullAck:
        if (byte == ACK) {
            finishSentBatch(now, "batch sent");
        } else if (byte == NAK || (byte == INVITE && now - since_ >= ReinviteAfter)) {
            ++counts_.retries;
            sendCurrentHeader(now, State::TxNullAck);
        }
        break;
    default:
        break;
    }
}

void Session::onFrame(bool good, Micros now)
{
    if (!good) {
        log_(now, "bad frame");
        state_ = State::Resync;
        return;
    }
    if (frameIsHeader_)
        onHeader(now);
    else
        onDataFrame(now);
}

void Session::onHeader(Micros now)
{
    const auto header = reader_.number() == 0 ? parseHeader(reader_.data()) : std::nullopt;
    if (!header) {
        log_(now, "header refused");
        ++counts_.naksSent;
        respond(now, {{{NAK}, 0}}, frameReturn_);
        return;
    }
    if (header->endOfBatch) {
        ++counts_.batchesReceived;
        fldTexts_.clear();
        log_(now, "batch received");
        respond(now, {{{ACK}, 0}}, State::Idle);
        return;
    }
    if (!isSafeName(header->name)) {
        abortWithCan(now, "unsafe name " + header->name);
        return;
    }
    incoming_ = Incoming{header->name, header->size, {}, 1};
    log_(now, "header " + header->name + " " + std::to_string(header->size) + " bytes");
    const bool nak = faults_.nakForCNow();
    if (nak)
        log_(now, "fault: NAK for C");
    respond(now, {{{ACK}, 0}, {{nak ? NAK : INVITE}, InvitePauseMs}}, State::RxData);
}

void Session::onDataFrame(Micros now)
{
    const std::uint8_t number = reader_.number();
    if (number == incoming_.expected) {
        const std::uint64_t have = incoming_.data.size();
        if (have < incoming_.size) {
            const auto take = static_cast<std::size_t>(
                std::min<std::uint64_t>(reader_.data().size(), incoming_.size - have));
            incoming_.data.insert(incoming_.data.end(), reader_.data().begin(),
                                  reader_.data().begin() + static_cast<long>(take));
        }
        ++incoming_.expected;
        if (incoming_.data.size() >= incoming_.size && faults_.loseEndAckNow()) {
            log_(now, "fault: our ACK of the last frame lost");
            respond(now, {}, State::RxData);
        } else {
            respond(now, {{{ACK}, 0}}, State::RxData);
        }
    } else if (number == static_cast<std::uint8_t>(incoming_.expected - 1)) {
        // Our ACK was lost: the PC sends the frame again. After the header it waits for 'C' too.
        std::vector<Msg> msgs{{{ACK}, 0}};
        if (incoming_.expected == 1)
            msgs.push_back({{INVITE}, InvitePauseMs});
        respond(now, msgs, State::RxData);
    } else {
        log_(now, "frame out of sequence");
        ++counts_.naksSent;
        respond(now, {{{NAK}, 0}}, State::RxData);
    }
}

void Session::onEot(Micros now)
{
    if (incoming_.data.size() < incoming_.size) {
        abortWithCan(now, "end of " + incoming_.name + " after " + std::to_string(incoming_.data.size()) +
                              " of " + std::to_string(incoming_.size) + " bytes");
        return;
    }
    Bytes data = std::move(incoming_.data);
    if (isFldName(incoming_.name)) {
        const auto fld = parseFldText(std::string(data.begin(), data.end()));
        if (!fld) {
            abortWithCan(now, "bad field definition " + incoming_.name);
            return;
        }
        fldTexts_[upper(fld->file)] = *fld;
        std::string widths;
        for (const int width : fld->widths)
            widths += (widths.empty() ? "" : ",") + std::to_string(width);
        log_(now, "field definition " + fld->file + " " + std::to_string(fld->records) +
                      " records of widths " + widths);
    } else if (!isBinaryName(incoming_.name)) {
        const auto fld = fldTexts_.find(upper(incoming_.name));
        if (fld == fldTexts_.end()) {
            log_(now, "record data " + incoming_.name + " without a field definition");
        } else if (fld->second.size <= data.size()) {
            data.resize(static_cast<std::size_t>(fld->second.size));
        } else {
            log_(now, "field definition of " + incoming_.name + " names more bytes than came");
        }
    }
    if (!storeFile(incoming_.name, data, now)) {
        abortWithCan(now, "cannot store " + incoming_.name);
        return;
    }
    ++counts_.filesStored;
    log_(now, "stored " + incoming_.name + " " + std::to_string(data.size()) + " bytes");
    retries_ = 0;
    if (faults_.loseEndAckNow()) {
        log_(now, "fault: our ACK of the EOT lost");
        respond(now, {{{INVITE}, InvitePauseMs}}, State::RxNextHeader);
        return;
    }
    respond(now, {{{ACK}, 0}, {{INVITE}, InvitePauseMs}}, State::RxNextHeader);
}

void Session::onInvite(Micros now)
{
    if (config_.outbox.empty())
        return;
    if (config_.quietBeforeBatchMs > 0 && !batchArmed_)
        return; // the terminal's operator has not pressed send again: it does not answer
    batchArmed_ = false;
    if (batchesLeft_ <= 0) {
        // Nothing more to send: an empty batch tells the PC so, also when our batch end was lost.
        batch_.clear();
        fileIndex_ = 0;
    } else if (!loadBatch(now)) {
        return;
    }
    retries_ = 0;
    sendCurrentHeader(now, batch_.empty() ? State::TxNullAck : State::TxHeaderAck);
}

bool Session::loadBatch(Micros now)
{
    batch_.clear();
    fileIndex_ = 0;
    std::error_code error;
    std::vector<std::filesystem::path> files;
    for (const auto &entry : std::filesystem::directory_iterator(config_.outbox, error)) {
        const std::string name = entry.path().filename().string();
        if (entry.is_regular_file() && isSafeName(name))
            files.push_back(entry.path());
    }
    if (error) {
        log_(now, "cannot list the outbox: " + error.message());
        return false;
    }
    std::set<std::string> fldStems;
    for (const auto &f : files)
        if (isFldName(f.filename().string()))
            fldStems.insert(stemOf(f.filename().string()));
    for (const auto &path : batchOrder(files)) {
        std::ifstream in(path, std::ios::binary);
        Bytes data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        if (!in.good() && !in.eof()) {
            log_(now, "cannot read " + path.string());
            return false;
        }
        const std::string name = path.filename().string();
        if (!isFldName(name) && !isBinaryName(name) && !fldStems.count(stemOf(name)) &&
            !config_.outboxFields.empty()) {
            const std::string text = makeFldText(fldFor(name, data.size(), config_.outboxFields));
            batch_.push_back({stemOf(name) + ".FLD", Bytes(text.begin(), text.end())});
        }
        batch_.push_back({name, std::move(data)});
    }
    log_(now, "invited: sending " + std::to_string(batch_.size()) + " files");
    return true;
}

void Session::finishSentBatch(Micros now, const std::string &note)
{
    retries_ = 0;
    if (batchesLeft_ > 0) {
        ++counts_.batchesSent;
        --batchesLeft_;
        log_(now, note);
    }
    enter(State::Idle, now);
}

void Session::sendCurrentHeader(Micros now, State next)
{
    if (fileIndex_ < batch_.size()) {
        const Outgoing &file = batch_[fileIndex_];
        respond(now, {{makeHeader(file.name, file.data.size()), 0}}, next);
    } else {
        respond(now, {{makeNullHeader(), 0}}, State::TxNullAck);
    }
}

bool Session::lastBlockOut() const
{
    const std::size_t size = batch_[fileIndex_].data.size();
    return offset_ < size && offset_ + blockSizeFor(size - offset_) >= size;
}

Bytes Session::currentBlock() const
{
    const Bytes &data = batch_[fileIndex_].data;
    const std::size_t remaining = data.size() - offset_;
    return makeFrame(blockNumber_, data.data() + offset_, remaining, blockSizeFor(remaining));
}

void Session::sendBlock(Micros now, bool again)
{
    if (again)
        ++counts_.retries;
    if (offset_ >= batch_[fileIndex_].data.size())
        respond(now, {{{EOT}, 0}}, State::TxEotAck);
    else
        respond(now, {{currentBlock(), 0}}, State::TxBlockAck);
}

void Session::respond(Micros now, std::vector<Msg> msgs, State next)
{
    if (faults_.cancelNow()) {
        abortWithCan(now, "fault: cancel");
        return;
    }
    if (faults_.stallNow()) {
        log_(now, "fault: stall " + std::to_string(faults_.plan().stallMs) + " ms");
        stalled_ = true;
        stallEnd_ = now + faults_.plan().stallMs * MicrosPerMs;
        pending_ = std::move(msgs);
        pendingState_ = next;
        return;
    }
    emit(now, msgs);
    enter(next, now);
}

void Session::emit(Micros now, const std::vector<Msg> &msgs)
{
    for (const Msg &m : msgs)
        output_.push_back({m.bytes, now + m.delayMs * MicrosPerMs});
}

void Session::enter(State next, Micros now)
{
    state_ = next;
    since_ = now;
}

void Session::abortWithCan(Micros now, const std::string &why)
{
    log_(now, "abort: " + why);
    ++counts_.aborts;
    emit(now, {{{CAN}, 0}, {{CAN}, 100}});
    fldTexts_.clear();
    retries_ = 0;
    enter(State::Idle, now);
}

void Session::peerCancelled(Micros now)
{
    log_(now, "abort: the PC cancelled");
    ++counts_.aborts;
    fldTexts_.clear();
    retries_ = 0;
    enter(State::Idle, now);
}

bool Session::storeFile(const std::string &name, const Bytes &data, Micros now)
{
    const auto part = config_.inbox / ("." + name + ".part");
    {
        std::ofstream out(part, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(data.data()), static_cast<std::streamsize>(data.size()));
        out.close();
        if (!out) {
            log_(now, "cannot write " + part.string());
            std::error_code ignored;
            std::filesystem::remove(part, ignored);
            return false;
        }
    }
    std::error_code error;
    std::filesystem::rename(part, config_.inbox / name, error);
    if (error) {
        log_(now, "cannot rename " + part.string() + ": " + error.message());
        return false;
    }
    return true;
}

void Session::tick(Micros now, bool lineIdle)
{
    if (stalled_) {
        if (now < stallEnd_)
            return;
        stalled_ = false;
        emit(now, pending_);
        pending_.clear();
        enter(pendingState_, now);
        return;
    }
    if (state_ == State::Idle) {
        if (!config_.inbox.empty() && lineIdle && now - lastInvite_ >= InviteEvery) {
            lastInvite_ = now;
            emit(now, {{{INVITE}, 0}});
        }
        return;
    }
    if (now >= nextDeadline(now))
        onTimeout(now);
}

void Session::onTimeout(Micros now)
{
    switch (state_) {
    case State::RxFrame:
        log_(now, "frame cut short");
        [[fallthrough]];
    case State::Resync:
        ++counts_.naksSent;
        respond(now, {{{NAK}, 0}}, frameReturn_);
        return;
    default:
        break;
    }
    if (state_ == State::TxNullAck) {
        // Some receivers end without acknowledging the batch end; the files are theirs already.
        finishSentBatch(now, "batch sent, its end not acknowledged");
        return;
    }
    if (++retries_ > RetryLimit) {
        abortWithCan(now, "no answer");
        return;
    }
    switch (state_) {
    case State::RxData:
        ++counts_.naksSent;
        respond(now, {{{NAK}, 0}}, State::RxData);
        break;
    case State::RxNextHeader:
        respond(now, {{{INVITE}, 0}}, State::RxNextHeader);
        break;
    case State::TxHeaderAck:
    case State::TxDataInvite:
        ++counts_.retries;
        sendCurrentHeader(now, state_ == State::TxDataInvite ? State::TxHeaderAck : state_);
        break;
    case State::TxBlockAck:
    case State::TxEotAck:
        sendBlock(now, true);
        break;
    default:
        enter(state_, now); // waiting for the PC's 'C': nothing to send again
        break;
    }
}

Micros Session::nextDeadline(Micros now) const
{
    if (stalled_)
        return stallEnd_;
    switch (state_) {
    case State::Idle:
        return config_.inbox.empty() ? now + 3600 * 1000 * MicrosPerMs : lastInvite_ + InviteEvery;
    case State::RxFrame:
        return lastByte_ + FrameGapLimit;
    case State::Resync:
        return lastByte_ + QuietTime;
    case State::RxData:
    case State::RxNextHeader:
        return since_ + ReceiveWait;
    case State::TxNullAck:
        return since_ + BatchEndWait;
    default:
        return since_ + SendWait;
    }
}

std::vector<Session::Out> Session::takeOutput()
{
    std::vector<Out> out;
    out.swap(output_);
    return out;
}

} // namespace termsim
