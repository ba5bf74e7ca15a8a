#include "masters/tables/XlsxSharedStrings.h"

#include "platform/PrivateFolder.h"

#include <QTemporaryFile>

#include <stdexcept>

namespace masters::tables {

XlsxSharedStrings::XlsxSharedStrings() = default;
XlsxSharedStrings::~XlsxSharedStrings() = default;

void XlsxSharedStrings::clear()
{
    m_memory.clear();
    m_memory.shrink_to_fit();
    m_starts.assign(1, 0);
    m_starts.shrink_to_fit();
    m_file.reset();
}

void XlsxSharedStrings::checkRoom(size_t more) const
{
    if (std::uint64_t(m_starts.back()) + more > MaxBytes)
        throw std::runtime_error("共有文字列が" + std::to_string(MaxBytes >> 20) + "MBを超えています");
}

void XlsxSharedStrings::append(const std::string &text)
{
    checkRoom(text.size());
    if (count() == MaxCount)
        throw std::runtime_error("共有文字列が" + std::to_string(MaxCount) + "個を超えています");
    if (!m_file && m_memory.size() + text.size() > MaxInMemory)
        spill();
    if (m_file) {
        if (m_file->write(text.data(), qint64(text.size())) != qint64(text.size()))
            throw std::runtime_error("共有文字列を一時ファイルに書き込めません(" +
                                     m_file->errorString().toStdString() + ")");
    } else {
        m_memory += text;
    }
    m_starts.push_back(std::uint32_t(m_starts.back() + text.size()));
}

void XlsxSharedStrings::spill()
{
    QString error;
    const QString folder = platform::userTempFolder(&error);
    auto file = std::make_unique<QTemporaryFile>(folder + QStringLiteral("/strings-XXXXXX"));
    if (folder.isEmpty() || !file->open())
        throw std::runtime_error("共有文字列の一時ファイルを作れません(" +
                                 (folder.isEmpty() ? error : file->errorString()).toStdString() + ")");
    if (file->write(m_memory.data(), qint64(m_memory.size())) != qint64(m_memory.size()))
        throw std::runtime_error("共有文字列を一時ファイルに書き込めません(" +
                                 file->errorString().toStdString() + ")");
    m_memory.clear();
    m_memory.shrink_to_fit();
    m_file = std::move(file);
}

QString XlsxSharedStrings::at(size_t index) const
{
    const std::uint32_t start = m_starts[index];
    const std::uint32_t size = m_starts[index + 1] - start;
    if (!m_file)
        return QString::fromUtf8(m_memory.data() + start, qsizetype(size));
    QByteArray bytes(qsizetype(size), Qt::Uninitialized);
    if (!m_file->seek(start) || m_file->read(bytes.data(), size) != qint64(size))
        throw std::runtime_error("共有文字列を一時ファイルから読み込めません(" +
                                 m_file->errorString().toStdString() + ")");
    return QString::fromUtf8(bytes);
}

} // namespace masters::tables
