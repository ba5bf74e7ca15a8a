#include "SenderTerminal.h"

#include "comm/YmFrames.h"

namespace commtest {

SenderTerminal::SenderTerminal(FakeSerialPort &port) : Port(port)
{
    Port.setPeer([this](FakeSerialPort &, const QByteArray &written) { onWrite(written); });
}

void SenderTerminal::onWrite(const QByteArray &written)
{
    const bool isFrame = (written.size() == comm::ShortFrame && written[0] == comm::SOH) ||
                         (written.size() == comm::LongFrame && written[0] == comm::STX);
    if (isFrame) {
        Frame f;
        f.at = Port.clock().elapsed();
        f.lead = written[0];
        f.block = static_cast<quint8>(written[1]);
        f.data = written.mid(3, written.size() - 5);
        const quint16 crc = comm::calcCrc16(comm::makeCrcTable(), f.data.constData(), f.data.size());
        f.crcGood = static_cast<quint8>(written[written.size() - 2]) == (crc >> 8) &&
                    static_cast<quint8>(written[written.size() - 1]) == (crc & 0xFF) &&
                    static_cast<quint8>(written[2]) == 255 - f.block;
        Frames.push_back(f);
    } else if (written == QByteArray(1, comm::CAN)) {
        ++Cans;
        return;
    }

    const Answer answer = RuleFn ? RuleFn(*this, written) : Answer::Normal;
    if (answer == Answer::Silent)
        return;
    if (answer == Answer::Nak) {
        Port.arriveAfter(ReplyMs, QByteArray(1, comm::NAK));
        return;
    }
    if (answer == Answer::Can) {
        Port.arriveAfter(ReplyMs, QByteArray(2, comm::CAN));
        return;
    }

    if (isFrame) {
        const Frame &f = Frames.back();
        if (f.block == 0 && !InFile) {
            if (f.data.at(0) == '\0') {
                BatchEnded = true;
                Port.arriveAfter(ReplyMs, QByteArray(1, comm::ACK));
                return;
            }
            File file;
            const qsizetype nul = f.data.indexOf('\0');
            file.name = f.data.left(nul);
            file.size = f.data.mid(nul + 1, f.data.indexOf('\0', nul + 1) - nul - 1).toLongLong();
            Files.push_back(file);
            InFile = true;
            LastBlock = 0;
            Port.arriveAfter(ReplyMs, QByteArray(1, comm::ACK));
            Port.arriveAfter(ReplyMs + 1, "C");
            return;
        }
        // A repeated block (our ACK was lost) is acknowledged again but not stored twice.
        if (InFile && f.block == static_cast<quint8>(LastBlock + 1)) {
            Files.back().data += f.data;
            LastBlock = f.block;
        }
        Port.arriveAfter(ReplyMs, QByteArray(1, comm::ACK));
        return;
    }
    if (written == QByteArray(1, comm::EOT)) {
        ++Eots;
        InFile = false;
        Port.arriveAfter(ReplyMs, QByteArray(1, comm::ACK));
        Port.arriveAfter(ReplyMs + 1, "C");
    }
}

} // namespace commtest
