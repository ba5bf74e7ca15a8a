#include "masters/tables/AccessTableSource.h"

#include "masters/tables/ValueText.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QTime>

#include <mdbtools.h>

#include <vector>

namespace masters::tables {

// A value bound by libmdb is its text form in a buffer of the handle's bind size.
static constexpr size_t BindSize = MDB_BIND_SIZE;

static bool isNumericColumn(int type)
{
    switch (type) {
    case MDB_BYTE:
    case MDB_INT:
    case MDB_LONGINT: // AutoNumber too
    case MDB_MONEY:
    case MDB_FLOAT:
    case MDB_DOUBLE:
    case MDB_NUMERIC:
        return true;
    default:
        return false;
    }
}

namespace {

class AccessTableSource final : public TableSource {
public:
    explicit AccessTableSource(QString path) : m_path(std::move(path)) {}
    ~AccessTableSource() override
    {
        if (m_mdb)
            mdb_close(m_mdb);
    }
    AccessTableSource(const AccessTableSource &) = delete;
    AccessTableSource &operator=(const AccessTableSource &) = delete;

    bool listTables(QStringList &names, QString &error) override
    {
        if (!open(error))
            return false;
        names.clear();
        for (unsigned int i = 0; i < m_mdb->num_catalog; ++i) {
            auto *entry = static_cast<MdbCatalogEntry *>(g_ptr_array_index(m_mdb->catalog, i));
            if (entry->object_type == MDB_TABLE && !mdb_is_system_table(entry))
                names.append(QString::fromUtf8(entry->object_name));
        }
        return true;
    }

    bool readColumns(const QString &table, QList<TableColumn> &columns, QString &error) override
    {
        MdbTableDef *def = openTable(table, error);
        if (!def)
            return false;
        columns.clear();
        for (unsigned int i = 0; i < def->num_cols; ++i) {
            auto *col = static_cast<MdbColumn *>(g_ptr_array_index(def->columns, i));
            columns.append({QString::fromUtf8(col->name), isNumericColumn(col->col_type)});
        }
        mdb_free_tabledef(def);
        return true;
    }

    bool readRows(const QString &table, const RowHandler &onRow, QString &error) override
    {
        MdbTableDef *def = openTable(table, error);
        if (!def)
            return false;
        const unsigned int count = def->num_cols;
        std::vector<std::vector<char>> buffers(count, std::vector<char>(BindSize + 1, 0));
        std::vector<int> lengths(count, 0);
        std::vector<int> types(count, 0);
        for (unsigned int i = 0; i < count; ++i) {
            auto *col = static_cast<MdbColumn *>(g_ptr_array_index(def->columns, i));
            types[i] = col->col_type;
            // Objects and binary values have no text; they are bound to nothing and import empty.
            if (types[i] != MDB_OLE && types[i] != MDB_BINARY && types[i] != MDB_COMPLEX)
                mdb_bind_column(def, int(i) + 1, buffers[i].data(), &lengths[i]);
        }
        mdb_rewind_table(def);
        QStringList values;
        while (mdb_fetch_row(def)) {
            values.clear();
            for (unsigned int i = 0; i < count; ++i) {
                const bool bound = types[i] != MDB_OLE && types[i] != MDB_BINARY && types[i] != MDB_COMPLEX;
                values.append(bound && lengths[i] > 0 ? render(types[i], buffers[i].data(), lengths[i])
                                                      : QString());
            }
            if (!onRow(values))
                break;
        }
        mdb_free_tabledef(def);
        return true;
    }

private:
    bool open(QString &error)
    {
        if (m_mdb)
            return true;
        if (!QFileInfo(m_path).isFile()) {
            error = QStringLiteral("ファイル「%1」がありません。").arg(m_path);
            return false;
        }
        m_mdb = mdb_open(QFile::encodeName(m_path).constData(), MDB_NOFLAGS);
        if (!m_mdb) {
            error = QStringLiteral("Accessファイル「%1」を開けません。").arg(QFileInfo(m_path).fileName());
            return false;
        }
        useOwnConverters();
        // A fixed form that render() reads back: the library's default follows the C locale.
        mdb_set_date_fmt(m_mdb, "%Y-%m-%d %H:%M:%S");
        mdb_set_shortdate_fmt(m_mdb, "%Y-%m-%d %H:%M:%S");
        mdb_set_boolean_fmt_numbers(m_mdb);
        if (!mdb_read_catalog(m_mdb, MDB_ANY)) {
            error = QStringLiteral("Accessファイル「%1」のテーブル一覧を読めません。")
                        .arg(QFileInfo(m_path).fileName());
            mdb_close(m_mdb);
            m_mdb = nullptr;
            return false;
        }
        return true;
    }

    // Text always as UTF-8, whatever the environment asks of the library; a Jet 3 file's text by
    // its own code page (Japanese files of that age carry 932, and a file that names none is taken
    // as such).
    void useOwnConverters()
    {
        mdb_iconv_close(m_mdb);
        if (IS_JET3(m_mdb)) {
            const unsigned int page = m_mdb->f->code_page;
            iconv_t in = (iconv_t)-1;
            iconv_t out = (iconv_t)-1;
            if (page != 0) {
                const QByteArray name = "CP" + QByteArray::number(page);
                in = iconv_open("UTF-8", name.constData());
                out = iconv_open(name.constData(), "UTF-8");
            }
            if (in == (iconv_t)-1 || out == (iconv_t)-1) {
                if (in != (iconv_t)-1)
                    iconv_close(in);
                if (out != (iconv_t)-1)
                    iconv_close(out);
                in = iconv_open("UTF-8", "CP932");
                out = iconv_open("CP932", "UTF-8");
            }
            m_mdb->iconv_in = in;
            m_mdb->iconv_out = out;
        } else {
            m_mdb->iconv_in = iconv_open("UTF-8", "UCS-2LE");
            m_mdb->iconv_out = iconv_open("UCS-2LE", "UTF-8");
        }
    }

    MdbTableDef *openTable(const QString &table, QString &error)
    {
        if (!open(error))
            return nullptr;
        QByteArray name = table.toUtf8();
        MdbTableDef *def = mdb_read_table_by_name(m_mdb, name.data(), MDB_TABLE);
        if (!def) {
            error = QStringLiteral("テーブル「%1」がありません。").arg(table);
            return nullptr;
        }
        if (!mdb_read_columns(def)) {
            mdb_free_tabledef(def);
            error = QStringLiteral("テーブル「%1」の項目を読めません。").arg(table);
            return nullptr;
        }
        return def;
    }

    static QString render(int type, const char *bytes, int length)
    {
        const QString text = QString::fromUtf8(bytes, std::min<qsizetype>(length, qsizetype(BindSize)));
        switch (type) {
        case MDB_BOOL:
            return booleanText(text.trimmed() != u"0");
        // Printed with every digit of the stored type: a single's excess digits ("0.150000006")
        // are no part of its value.
        case MDB_FLOAT:
            return roundTripNumberText(text, true);
        case MDB_DOUBLE:
            return roundTripNumberText(text, false);
        case MDB_MONEY:
        case MDB_NUMERIC:
            return trimmedDecimalText(text);
        case MDB_DATETIME: {
            const QDate date = QDate::fromString(text.left(10), QStringLiteral("yyyy-MM-dd"));
            const QTime time = QTime::fromString(text.mid(11, 8), QStringLiteral("HH:mm:ss"));
            return date.isValid() && time.isValid() ? dateTimeText(date, time) : text;
        }
        default:
            return text;
        }
    }

    QString m_path;
    MdbHandle *m_mdb = nullptr;
};

} // namespace

std::unique_ptr<TableSource> makeAccessTableSource(const QString &path)
{
    return std::make_unique<AccessTableSource>(path);
}

} // namespace masters::tables
