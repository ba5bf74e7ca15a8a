#include "masters/tables/access/AccessPages.h"

#include <algorithm>
#include <vector>

namespace masters::tables::access {

namespace {

quint32 word(const unsigned char *bytes)
{
    return quint32(bytes[0]) | quint32(bytes[1]) << 8 | quint32(bytes[2]) << 16 | quint32(bytes[3]) << 24;
}

// A table definition longer than this many pages is taken as damaged.
constexpr int MaxDefinitionPages = 64;
// Continuation pages of a definition or a long value start with a header of this size.
constexpr qsizetype PageHeader = 8;
constexpr quint32 RowOffsetMask = 0x1fff;
constexpr quint8 CalculatedFlags = 0xC0;

} // namespace

std::optional<QSet<int>> calculatedColumns(MdbTableDef *table)
{
    MdbHandle *mdb = table->entry->mdb;
    const MdbFormatConstants *format = mdb->fmt;
    QSet<int> calculated;
    if (mdb->f->jet_version < MDB_VER_ACCDB_2010)
        return calculated;
    const qsizetype pageSize = format->pg_size;
    const qsizetype columnsAt = qsizetype(format->tab_cols_start_offset) +
                                qsizetype(table->num_real_idxs) * format->tab_ridx_entry_size;
    const qsizetype needed = columnsAt + qsizetype(table->num_cols) * format->tab_col_entry_size;
    // The definition as the library reads it: the first page whole, then each following page
    // after its header.
    QByteArray definition;
    quint32 page = quint32(table->entry->table_pg);
    for (int read = 0; definition.size() < needed; ++read) {
        if (read == MaxDefinitionPages || page == 0 || pageSize > MDB_PGSIZE ||
            mdb_read_alt_pg(mdb, page) != pageSize || mdb->alt_pg_buf[0] != MDB_PAGE_TABLE)
            return std::nullopt;
        const qsizetype from = read == 0 ? 0 : PageHeader;
        definition.append(reinterpret_cast<const char *>(mdb->alt_pg_buf) + from, pageSize - from);
        page = word(mdb->alt_pg_buf + 4);
    }
    for (unsigned int i = 0; i < table->num_cols; ++i) {
        const qsizetype at = columnsAt + qsizetype(i) * format->tab_col_entry_size;
        const auto *entry = reinterpret_cast<const unsigned char *>(definition.constData()) + at;
        // The extended flags follow the flags.
        if ((entry[format->col_flags_offset + 1] & CalculatedFlags) != 0)
            calculated.insert(int(entry[format->col_num_offset]) | int(entry[format->col_num_offset + 1])
                                                                       << 8);
    }
    return calculated;
}

std::optional<QByteArrayView> storedBytes(MdbHandle *mdb, const MdbColumn &column)
{
    if (column.cur_value_len == 0)
        return QByteArrayView();
    const qsizetype start = column.cur_value_start;
    const qsizetype length = column.cur_value_len;
    const qsizetype pageSize = std::min<qsizetype>(mdb->fmt->pg_size, MDB_PGSIZE);
    if (start < 0 || length < 0 || start > pageSize || length > pageSize - start)
        return std::nullopt;
    return QByteArrayView(reinterpret_cast<const char *>(mdb->pg_buf) + start, length);
}

std::optional<QByteArray> longValueBytes(MdbHandle *mdb, QByteArrayView reference, qsizetype limit)
{
    constexpr qsizetype ReferenceSize = MDB_MEMO_OVERHEAD;
    if (reference.size() < ReferenceSize)
        return std::nullopt;
    const auto *header = reinterpret_cast<const unsigned char *>(reference.data());
    const quint32 lengthWord = word(header);
    const qsizetype length = lengthWord & 0x3fffffff;
    if (length > limit)
        return std::nullopt;
    if (lengthWord & 0x80000000) // kept in the row
        return reference.sliced(ReferenceSize, std::min(length, reference.size() - ReferenceSize))
            .toByteArray();
    const auto rowBytes = [&](quint32 pageRow) -> std::optional<QByteArrayView> {
        void *page = nullptr;
        int start = 0;
        size_t size = 0;
        if (mdb_find_pg_row(mdb, int(pageRow), &page, &start, &size) != 0 || page == nullptr)
            return std::nullopt;
        const qsizetype from = qsizetype(quint32(start) & RowOffsetMask);
        const qsizetype pageSize = std::min<qsizetype>(mdb->fmt->pg_size, MDB_PGSIZE);
        if (from > pageSize || size > size_t(pageSize - from))
            return std::nullopt;
        return QByteArrayView(static_cast<const char *>(page) + from, qsizetype(size));
    };
    quint32 pageRow = word(header + 4);
    if (lengthWord & 0x40000000) { // one row of another page
        const std::optional<QByteArrayView> row = rowBytes(pageRow);
        if (!row)
            return std::nullopt;
        return row->first(std::min(length, row->size())).toByteArray();
    }
    // A chain of rows, each starting with the page and row of the next and, but for the last,
    // filling most of its page: a chain of many more rows than that is damaged.
    const qsizetype maxRows = length / 512 + 8;
    QByteArray value;
    for (qsizetype rows = 0; value.size() < length; ++rows) {
        if (pageRow == 0 || rows == maxRows)
            return std::nullopt;
        const std::optional<QByteArrayView> row = rowBytes(pageRow);
        if (!row || row->size() <= 4)
            return std::nullopt;
        pageRow = word(reinterpret_cast<const unsigned char *>(row->data()));
        value += row->sliced(4, std::min(row->size() - 4, length - value.size()));
    }
    return value;
}

QString storedText(MdbHandle *mdb, QByteArrayView bytes)
{
    if (bytes.isEmpty())
        return {};
    // One byte more than the library is told of: it ends the text with a NUL.
    std::vector<char> text(mdb->bind_size + 1, 0);
    const int length =
        mdb_unicode2ascii(mdb, bytes.data(), size_t(bytes.size()), text.data(), mdb->bind_size);
    return QString::fromUtf8(text.data(), std::clamp<qsizetype>(length, 0, qsizetype(mdb->bind_size)));
}

} // namespace masters::tables::access
