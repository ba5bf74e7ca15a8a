#include "masters/tables/AccessTableSource.h"

#include "masters/tables/ValueText.h"
#include "masters/tables/access/AccessColumns.h"
#include "masters/tables/access/AccessPages.h"
#include "masters/tables/access/AccessValues.h"

#include <QFile>
#include <QFileInfo>

#include <mdbtools.h>

#include <optional>
#include <vector>

namespace masters::tables {

// A value bound by libmdb is its text form in a buffer of the handle's bind size.
static constexpr size_t BindSize = MDB_BIND_SIZE;
// The most of a calculated long text read from its pages; its text is cut to the bind size after.
static constexpr qsizetype LongResultLimit = 16 * 1024 * 1024;

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
        std::vector<access::ColumnPlan> plans;
        const bool planned = planColumns(table, def, plans, error);
        columns.clear();
        for (unsigned int i = 0; planned && i < def->num_cols; ++i)
            columns.append({QString::fromUtf8(column(def, i)->name), plans[i].numeric});
        mdb_free_tabledef(def);
        return planned;
    }

    bool readRows(const QString &table, const RowHandler &onRow, QString &error) override
    {
        MdbTableDef *def = openTable(table, error);
        if (!def)
            return false;
        std::vector<access::ColumnPlan> plans;
        if (!planColumns(table, def, plans, error)) {
            mdb_free_tabledef(def);
            return false;
        }
        const unsigned int count = def->num_cols;
        std::vector<std::vector<char>> buffers(count, std::vector<char>(BindSize + 1, 0));
        std::vector<int> lengths(count, 0);
        for (unsigned int i = 0; i < count; ++i) {
            // The library turns only its own types into text; the reader takes the others' bytes.
            if (plans[i].read == access::ColumnRead::Library)
                mdb_bind_column(def, int(i) + 1, buffers[i].data(), &lengths[i]);
        }
        mdb_rewind_table(def);
        QStringList values;
        bool ok = true;
        while (ok && mdb_fetch_row(def)) {
            values.clear();
            for (unsigned int i = 0; ok && i < count; ++i) {
                const access::ColumnPlan &plan = plans[i];
                if (plan.read == access::ColumnRead::Library) {
                    values.append(lengths[i] > 0 ? render(plan.type, buffers[i].data(), lengths[i])
                                                 : QString());
                    continue;
                }
                const std::optional<QString> value = storedValue(plan, *column(def, i));
                if (!value) {
                    error = access::unreadableValueText(table, QString::fromUtf8(column(def, i)->name));
                    ok = false;
                    break;
                }
                values.append(*value);
            }
            if (ok && !onRow(values))
                break;
        }
        mdb_free_tabledef(def);
        return ok;
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
            // UTF-16 rather than UCS-2: a character beyond the Basic Multilingual Plane is a
            // surrogate pair, which UCS-2 turns into two "?".
            m_mdb->iconv_in = iconv_open("UTF-8", "UTF-16LE");
            m_mdb->iconv_out = iconv_open("UTF-16LE", "UTF-8");
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

    static MdbColumn *column(MdbTableDef *def, unsigned int i)
    {
        return static_cast<MdbColumn *>(g_ptr_array_index(def->columns, i));
    }

    // How each column is read; false (with the refusal) when one of them cannot be.
    static bool planColumns(const QString &table, MdbTableDef *def, std::vector<access::ColumnPlan> &plans,
                            QString &error)
    {
        const std::optional<QSet<int>> calculated = access::calculatedColumns(def);
        if (!calculated) {
            error = QStringLiteral("テーブル「%1」の項目を読めません。").arg(table);
            return false;
        }
        plans.clear();
        for (unsigned int i = 0; i < def->num_cols; ++i) {
            const MdbColumn *col = column(def, i);
            std::optional<int> resultType;
            if (const char *result = mdb_col_get_prop(col, "ResultType")) {
                bool number = false;
                const int type = QByteArray(result).trimmed().toInt(&number);
                if (number)
                    resultType = type;
            }
            plans.push_back(
                access::planColumn(col->col_type, calculated->contains(col->col_num), resultType));
            if (plans.back().read == access::ColumnRead::Unreadable) {
                error =
                    access::unreadableColumnText(table, QString::fromUtf8(col->name), plans.back().typeName);
                return false;
            }
        }
        return true;
    }

    // The value of a column the library does not turn into text, from the row just fetched.
    std::optional<QString> storedValue(const access::ColumnPlan &plan, const MdbColumn &col) const
    {
        if (plan.read == access::ColumnRead::NoText)
            return QString();
        const std::optional<QByteArrayView> bytes = access::storedBytes(m_mdb, col);
        if (!bytes)
            return std::nullopt;
        if (bytes->isEmpty())
            return QString();
        if (plan.read == access::ColumnRead::Stored)
            return access::fixedValueText(plan.type, *bytes);
        // A calculated long text keeps its result, with the same wrapping, on the long value pages.
        std::optional<QByteArray> longValue;
        QByteArrayView stored = *bytes;
        if (plan.type == access::MemoType) {
            longValue = access::longValueBytes(m_mdb, stored, LongResultLimit);
            if (!longValue)
                return std::nullopt;
            stored = *longValue;
        }
        const std::optional<QByteArrayView> result = access::calculatedResult(stored);
        if (!result)
            return std::nullopt;
        if (result->isEmpty())
            return QString();
        if (plan.type == access::TextType || plan.type == access::MemoType)
            return access::storedText(m_mdb, *result);
        return access::fixedValueText(plan.type, *result);
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
