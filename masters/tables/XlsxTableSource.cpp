#include "masters/tables/XlsxTableSource.h"

#include "masters/tables/SheetRows.h"
#include "masters/tables/ValueText.h"
#include "masters/tables/XlsxSheetText.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QTime>

#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>

#include <exception>
#include <limits>
#include <vector>

namespace masters::tables {
namespace {

namespace ss = orcus::spreadsheet;
namespace iface = orcus::spreadsheet::iface;

// Thrown out of the library's parse when the reader has what it needs; not a std::exception, so
// no handler inside the library takes it for a failure of its own.
struct StopReading {};

struct Styles {
    QHash<int, QString> formatCodes; // custom number formats by their number
    std::vector<bool> xfIsDate;      // per cell format, in the workbook's order
    bool dates1904 = false;

    bool isDateXf(int xf) const { return xf >= 0 && size_t(xf) < xfIsDate.size() && xfIsDate[size_t(xf)]; }
};

// A cell as the parse hands it over, before its format is applied.
struct RawCell {
    enum Type { None, Text, Number, Boolean, DateText } type = None;
    double number = 0;
    QString text;
    int xf = 0;
};

QString finalText(const RawCell &cell, const Styles &styles)
{
    switch (cell.type) {
    case RawCell::Number:
        return styles.isDateXf(cell.xf) ? serialDateText(cell.number, styles.dates1904)
                                        : numberText(cell.number);
    case RawCell::Boolean:
        return booleanText(cell.number != 0);
    case RawCell::Text:
    case RawCell::DateText:
        return cell.text;
    case RawCell::None:
        break;
    }
    return {};
}

// The kind key of a cell for the first pass: a number's key is its format, decided once the
// formats are known.
int kindKey(const RawCell &cell)
{
    return cell.type == RawCell::Number ? std::max(cell.xf, 0) : TextKind;
}

class GlobalSettings final : public iface::import_global_settings {
public:
    explicit GlobalSettings(Styles &styles) : m_styles(styles) {}
    void set_origin_date(int year, int, int) override { m_styles.dates1904 = year == 1904; }
    void set_default_formula_grammar(ss::formula_grammar_t grammar) override { m_grammar = grammar; }
    ss::formula_grammar_t get_default_formula_grammar() const override { return m_grammar; }
    void set_character_set(orcus::character_set_t) override {}

private:
    Styles &m_styles;
    ss::formula_grammar_t m_grammar = ss::formula_grammar_t::xlsx;
};

class SharedStrings final : public iface::import_shared_strings {
public:
    size_t append(std::string_view s) override
    {
        m_strings.push_back(QString::fromUtf8(s.data(), qsizetype(s.size())));
        return m_strings.size() - 1;
    }
    size_t add(std::string_view s) override { return append(s); }
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                                ss::color_elem_t) override
    {
    }
    void append_segment(std::string_view s) override
    {
        m_segments += QString::fromUtf8(s.data(), qsizetype(s.size()));
    }
    size_t commit_segments() override
    {
        m_strings.push_back(m_segments);
        m_segments.clear();
        return m_strings.size() - 1;
    }
    QString at(size_t index) const { return index < m_strings.size() ? m_strings[index] : QString(); }

private:
    std::vector<QString> m_strings;
    QString m_segments;
};

// Only the number formats of the cell formats matter here: they tell dates from numbers.
class StyleSink final : public iface::import_styles {
public:
    explicit StyleSink(Styles &styles) : m_styles(styles) {}
    void set_font_count(size_t) override {}
    void set_font_bold(bool) override {}
    void set_font_italic(bool) override {}
    void set_font_name(std::string_view) override {}
    void set_font_size(double) override {}
    void set_font_underline(ss::underline_t) override {}
    void set_font_underline_width(ss::underline_width_t) override {}
    void set_font_underline_mode(ss::underline_mode_t) override {}
    void set_font_underline_type(ss::underline_type_t) override {}
    void set_font_underline_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                                  ss::color_elem_t) override
    {
    }
    void set_font_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void set_strikethrough_style(ss::strikethrough_style_t) override {}
    void set_strikethrough_type(ss::strikethrough_type_t) override {}
    void set_strikethrough_width(ss::strikethrough_width_t) override {}
    void set_strikethrough_text(ss::strikethrough_text_t) override {}
    size_t commit_font() override { return m_fonts++; }
    void set_fill_count(size_t) override {}
    void set_fill_pattern_type(ss::fill_pattern_t) override {}
    void set_fill_fg_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    void set_fill_bg_color(ss::color_elem_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t) override {}
    size_t commit_fill() override { return m_fills++; }
    void set_border_count(size_t) override {}
    void set_border_style(ss::border_direction_t, ss::border_style_t) override {}
    void set_border_color(ss::border_direction_t, ss::color_elem_t, ss::color_elem_t, ss::color_elem_t,
                          ss::color_elem_t) override
    {
    }
    void set_border_width(ss::border_direction_t, double, orcus::length_unit_t) override {}
    size_t commit_border() override { return m_borders++; }
    void set_cell_hidden(bool) override {}
    void set_cell_locked(bool) override {}
    void set_cell_print_content(bool) override {}
    void set_cell_formula_hidden(bool) override {}
    size_t commit_cell_protection() override { return m_protections++; }
    void set_number_format_count(size_t) override {}
    void set_number_format_identifier(size_t id) override { m_formatId = int(id); }
    void set_number_format_code(std::string_view s) override
    {
        m_formatCode = QString::fromUtf8(s.data(), qsizetype(s.size()));
    }
    // The format's own number is its index, so that a cell format may name it either way.
    size_t commit_number_format() override
    {
        m_styles.formatCodes.insert(m_formatId, m_formatCode);
        const size_t id = size_t(std::max(m_formatId, 0));
        m_formatId = -1;
        m_formatCode.clear();
        return id;
    }
    void set_cell_xf_count(size_t) override {}
    void set_cell_style_xf_count(size_t) override {}
    void set_dxf_count(size_t) override {}
    void set_xf_font(size_t) override {}
    void set_xf_fill(size_t) override {}
    void set_xf_border(size_t) override {}
    void set_xf_protection(size_t) override {}
    void set_xf_number_format(size_t index) override { m_xfFormat = int(index); }
    void set_xf_style_xf(size_t) override {}
    void set_xf_apply_alignment(bool) override {}
    void set_xf_horizontal_alignment(ss::hor_alignment_t) override {}
    void set_xf_vertical_alignment(ss::ver_alignment_t) override {}
    size_t commit_cell_xf() override
    {
        m_styles.xfIsDate.push_back(isDateFormat(m_xfFormat, m_styles.formatCodes.value(m_xfFormat)));
        m_xfFormat = 0;
        return m_styles.xfIsDate.size() - 1;
    }
    size_t commit_cell_style_xf() override
    {
        m_xfFormat = 0;
        return m_styleXfs++;
    }
    size_t commit_dxf() override
    {
        m_xfFormat = 0;
        return m_dxfs++;
    }
    void set_cell_style_count(size_t) override {}
    void set_cell_style_name(std::string_view) override {}
    void set_cell_style_xf(size_t) override {}
    void set_cell_style_builtin(size_t) override {}
    void set_cell_style_parent_name(std::string_view) override {}
    size_t commit_cell_style() override { return m_cellStyles++; }

private:
    Styles &m_styles;
    int m_formatId = -1;
    QString m_formatCode;
    int m_xfFormat = 0;
    size_t m_fonts = 0, m_fills = 0, m_borders = 0, m_protections = 0, m_styleXfs = 0, m_dxfs = 0,
           m_cellStyles = 0;
};

// "A1", "$B$2", "Sheet!C3" and ranges of them; formulas are not evaluated here, so a reference
// that does not parse resolves to A1 rather than failing the read.
ss::src_address_t parseAddress(std::string_view text)
{
    ss::src_address_t address{0, 0, 0};
    const size_t bang = text.rfind('!');
    if (bang != std::string_view::npos)
        text.remove_prefix(bang + 1);
    size_t i = 0;
    if (i < text.size() && text[i] == '$')
        ++i;
    int column = 0;
    while (i < text.size() && ((text[i] >= 'A' && text[i] <= 'Z') || (text[i] >= 'a' && text[i] <= 'z'))) {
        column = column * 26 + ((text[i] | 0x20) - 'a' + 1);
        if (column > 16384)
            return address;
        ++i;
    }
    if (i < text.size() && text[i] == '$')
        ++i;
    int row = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
        row = row * 10 + (text[i] - '0');
        if (row > 1048576)
            return address;
        ++i;
    }
    if (column > 0 && row > 0) {
        address.row = row - 1;
        address.column = column - 1;
    }
    return address;
}

class ReferenceResolver final : public iface::import_reference_resolver {
public:
    ss::src_address_t resolve_address(std::string_view address) override { return parseAddress(address); }
    ss::src_range_t resolve_range(std::string_view range) override
    {
        const size_t colon = range.find(':');
        const ss::src_address_t first = parseAddress(range.substr(0, colon));
        const ss::src_address_t last =
            colon == std::string_view::npos ? first : parseAddress(range.substr(colon + 1));
        return {first, last};
    }
};

struct FormulaResult {
    ss::row_t row;
    ss::col_t column;
    RawCell cell;
};

// The cached results of the read sheet's formulas, which the library hands over after all sheets.
class FormulaSink final : public iface::import_formula {
public:
    explicit FormulaSink(std::vector<FormulaResult> &results) : m_results(results) {}
    void set_position(ss::row_t row, ss::col_t col) override { m_current = {row, col, {}}; }
    void set_formula(ss::formula_grammar_t, std::string_view) override {}
    void set_shared_formula_index(size_t) override {}
    void set_result_string(std::string_view value) override
    {
        m_current.cell.type = RawCell::Text;
        m_current.cell.text = QString::fromUtf8(value.data(), qsizetype(value.size()));
    }
    void set_result_value(double value) override
    {
        m_current.cell.type = RawCell::Number;
        m_current.cell.number = value;
    }
    void set_result_bool(bool value) override
    {
        m_current.cell.type = RawCell::Boolean;
        m_current.cell.number = value ? 1 : 0;
    }
    void set_result_empty() override { m_current.cell.type = RawCell::None; }
    void commit() override
    {
        if (m_current.cell.type != RawCell::None)
            m_results.push_back(m_current);
    }

private:
    std::vector<FormulaResult> &m_results;
    FormulaResult m_current{0, 0, {}};
};

class IgnoredArrayFormula final : public iface::import_array_formula {
public:
    void set_range(const ss::range_t &) override {}
    void set_formula(ss::formula_grammar_t, std::string_view) override {}
    void set_result_string(ss::row_t, ss::col_t, std::string_view) override {}
    void set_result_value(ss::row_t, ss::col_t, double) override {}
    void set_result_bool(ss::row_t, ss::col_t, bool) override {}
    void set_result_empty(ss::row_t, ss::col_t) override {}
    void commit() override {}
};

// A sheet whose cells are handed to a row callback, a row at a time; or, for the other sheets of
// the workbook, to nothing.
class SheetSink final : public iface::import_sheet {
public:
    using RowCallback = std::function<void(ss::row_t row, const QMap<int, RawCell> &cells)>;

    SheetSink(const SharedStrings *strings, RowCallback onRow, iface::import_formula *formula)
        : m_strings(strings), m_onRow(std::move(onRow)), m_formula(formula)
    {
    }

    iface::import_formula *get_formula() override { return m_formula; }
    iface::import_array_formula *get_array_formula() override { return &m_arrayFormula; }

    void set_auto(ss::row_t row, ss::col_t col, std::string_view s) override
    {
        RawCell &c = cell(row, col);
        c.type = RawCell::Text;
        c.text = QString::fromUtf8(s.data(), qsizetype(s.size()));
    }
    void set_string(ss::row_t row, ss::col_t col, ss::string_id_t sindex) override
    {
        RawCell &c = cell(row, col);
        c.type = RawCell::Text;
        c.text = m_strings ? m_strings->at(sindex) : QString();
    }
    void set_value(ss::row_t row, ss::col_t col, double value) override
    {
        RawCell &c = cell(row, col);
        c.type = RawCell::Number;
        c.number = value;
    }
    void set_bool(ss::row_t row, ss::col_t col, bool value) override
    {
        RawCell &c = cell(row, col);
        c.type = RawCell::Boolean;
        c.number = value ? 1 : 0;
    }
    void set_date_time(ss::row_t row, ss::col_t col, int year, int month, int day, int hour, int minute,
                       double second) override
    {
        RawCell &c = cell(row, col);
        c.type = RawCell::DateText;
        const QDate date(year, month, day);
        const QTime time(hour, minute, int(second));
        c.text =
            dateTimeText(date.isValid() ? date : QDate(1899, 12, 30), time.isValid() ? time : QTime(0, 0));
    }
    void set_format(ss::row_t row, ss::col_t col, size_t xf_index) override
    {
        cell(row, col).xf = int(std::min<size_t>(xf_index, 0x7FFFFFFF));
    }
    void set_format(ss::row_t, ss::col_t, ss::row_t, ss::col_t, size_t) override {}
    void fill_down_cells(ss::row_t, ss::col_t, ss::row_t) override {}
    ss::range_size_t get_sheet_size() const override { return {1048576, 16384}; }

    void flush()
    {
        if (m_row >= 0 && m_onRow)
            m_onRow(m_row, m_cells);
        m_cells.clear();
        m_row = -1;
    }

private:
    RawCell &cell(ss::row_t row, ss::col_t col)
    {
        if (row != m_row) {
            flush();
            m_row = row;
        }
        return m_cells[col];
    }

    const SharedStrings *m_strings;
    RowCallback m_onRow;
    iface::import_formula *m_formula;
    IgnoredArrayFormula m_arrayFormula;
    ss::row_t m_row = -1;
    QMap<int, RawCell> m_cells;
};

// One parse of the workbook. With no target sheet it only collects the sheet names.
class Factory final : public iface::import_factory {
public:
    Factory(Styles &styles, bool recordStyles, const QString &target, SheetSink::RowCallback onRow,
            std::vector<FormulaResult> *formulas)
        : m_styles(styles), m_globals(styles), m_styleSink(styles), m_recordStyles(recordStyles),
          m_target(target), m_formulaSink(formulas ? std::make_unique<FormulaSink>(*formulas) : nullptr),
          m_targetSheet(&m_strings, std::move(onRow), m_formulaSink.get()),
          m_otherSheet(&m_strings, {}, nullptr)
    {
    }

    iface::import_global_settings *get_global_settings() override { return &m_globals; }
    iface::import_shared_strings *get_shared_strings() override
    {
        stopWhenListed();
        return &m_strings;
    }
    iface::import_styles *get_styles() override
    {
        stopWhenListed();
        return m_recordStyles ? &m_styleSink : nullptr;
    }
    iface::import_reference_resolver *get_reference_resolver(ss::formula_ref_context_t) override
    {
        return &m_resolver;
    }
    iface::import_sheet *append_sheet(ss::sheet_t, std::string_view name) override
    {
        m_names.append(QString::fromUtf8(name.data(), qsizetype(name.size())));
        return &m_otherSheet;
    }
    // The library asks for a sheet by name once it has its part in hand: only then is the sheet
    // known to be read. A part it cannot find (an archive entry named in a form it does not
    // resolve) is skipped without a word, and must not pass for an empty sheet.
    iface::import_sheet *get_sheet(std::string_view name) override
    {
        stopWhenListed();
        iface::import_sheet *sheet =
            sheetFor(m_names.indexOf(QString::fromUtf8(name.data(), qsizetype(name.size()))));
        if (sheet == &m_targetSheet)
            m_targetRead = true;
        return sheet;
    }
    iface::import_sheet *get_sheet(ss::sheet_t index) override { return sheetFor(index); }
    void finalize() override { m_targetSheet.flush(); }

    const QStringList &names() const { return m_names; }
    bool targetRead() const { return m_targetRead; }
    void flushTarget() { m_targetSheet.flush(); }

private:
    void stopWhenListed()
    {
        if (m_target.isEmpty() && !m_names.isEmpty())
            throw StopReading();
    }
    iface::import_sheet *sheetFor(qsizetype index)
    {
        if (index >= 0 && index < m_names.size() && m_names.at(index) == m_target) {
            m_targetIndex = int(index);
            return &m_targetSheet;
        }
        // The row pass needs nothing after its sheet: formats and formula results came from the scan.
        if (m_targetIndex >= 0 && !m_formulaSink && !m_target.isEmpty()) {
            m_targetSheet.flush();
            throw StopReading();
        }
        // Cells of a sheet parsed after the read one would land in this sheet's rows otherwise.
        m_targetSheet.flush();
        return &m_otherSheet;
    }

    Styles &m_styles;
    GlobalSettings m_globals;
    SharedStrings m_strings;
    StyleSink m_styleSink;
    bool m_recordStyles;
    ReferenceResolver m_resolver;
    QString m_target;
    std::unique_ptr<FormulaSink> m_formulaSink;
    SheetSink m_targetSheet;
    SheetSink m_otherSheet;
    QStringList m_names;
    int m_targetIndex = -1;
    bool m_targetRead = false;
};

class XlsxTableSource final : public TableSource {
public:
    explicit XlsxTableSource(QString path) : m_path(std::move(path)) {}

    bool listTables(QStringList &names, QString &error) override
    {
        if (!m_listed) {
            Styles styles;
            Factory factory(styles, false, QString(), {}, nullptr);
            if (!parse(factory, error))
                return false;
            m_sheets = factory.names();
            m_listed = true;
        }
        names = m_sheets;
        return true;
    }

    bool readColumns(const QString &table, QList<TableColumn> &columns, QString &error) override
    {
        if (!scan(table, error))
            return false;
        const Styles &styles = m_styles;
        columns = m_scan.columns(
            [&](const SheetCell &cell) {
                if (cell.kind >= 0 && styles.isDateXf(cell.kind))
                    return serialDateText(cell.text.toDouble(), styles.dates1904);
                return cell.text;
            },
            [&](int kind) { return kind == NumberKind || (kind >= 0 && !styles.isDateXf(kind)); });
        return true;
    }

    bool readRows(const QString &table, const RowHandler &onRow, QString &error) override
    {
        if (!scan(table, error))
            return false;
        SheetRowEmitter emitter(m_scan.headerRow(), m_scan.columnCount(), onRow, m_extras);
        const Styles &styles = m_styles;
        // The text cells read from the part itself join the library's cells row by row; both come
        // in the sheet's order.
        const std::vector<SheetTexts::Cell> &texts = m_texts.cells();
        size_t nextText = 0;
        const auto addTextsUpTo = [&](qint64 row) {
            for (; nextText < texts.size() && texts[nextText].row <= row; ++nextText) {
                const SheetTexts::Cell &cell = texts[nextText];
                if (!emitter.addCell(cell.row, cell.column, m_texts.text(cell)))
                    return false;
            }
            return true;
        };
        Styles unused;
        Factory factory(
            unused, false, table,
            [&](ss::row_t row, const QMap<int, RawCell> &cells) {
                if (!addTextsUpTo(qint64(row) - 1))
                    throw StopReading();
                for (auto it = cells.cbegin(); it != cells.cend(); ++it) {
                    if (!emitter.addCell(row, it.key(), finalText(it.value(), styles)))
                        throw StopReading();
                }
                if (!addTextsUpTo(row))
                    throw StopReading();
            },
            nullptr);
        if (!parse(factory, error))
            return false;
        if (!emitter.stopped())
            addTextsUpTo(std::numeric_limits<qint64>::max());
        emitter.finish();
        return true;
    }

private:
    bool parse(Factory &factory, QString &error)
    {
        if (!QFileInfo(m_path).isFile()) {
            error = QStringLiteral("ファイル「%1」がありません。").arg(m_path);
            return false;
        }
        try {
            orcus::orcus_xlsx filter(&factory);
            filter.read_file(QFile::encodeName(m_path).toStdString());
            factory.flushTarget();
        } catch (const StopReading &) {
        } catch (const std::exception &e) {
            error = QStringLiteral("Excelファイル「%1」を読み込めません。(%2)")
                        .arg(QFileInfo(m_path).fileName(), QString::fromUtf8(e.what()));
            return false;
        }
        return true;
    }

    // The first pass over a sheet, made once per sheet.
    bool scan(const QString &table, QString &error)
    {
        if (m_scanned && m_scannedTable == table)
            return true;
        m_scanned = false;
        m_scan = SheetScan();
        m_extras.clear();
        m_texts.clear();
        m_styles = Styles();
        std::vector<FormulaResult> formulas;
        // Formats of cells that held no value in the sheet: a formula's result takes its format.
        QHash<qint64, int> valuelessFormats;
        Factory factory(
            m_styles, true, table,
            [&](ss::row_t row, const QMap<int, RawCell> &cells) {
                for (auto it = cells.cbegin(); it != cells.cend(); ++it) {
                    const RawCell &cell = it.value();
                    if (cell.type == RawCell::None) {
                        if (cell.xf > 0)
                            valuelessFormats.insert(qint64(row) << 16 | it.key(), cell.xf);
                        continue;
                    }
                    m_scan.addCell(
                        row, it.key(),
                        {cell.type == RawCell::Number ? numberText(cell.number) : finalText(cell, m_styles),
                         kindKey(cell)});
                }
            },
            &formulas);
        if (!parse(factory, error))
            return false;
        if (!factory.targetRead()) {
            error = factory.names().contains(table)
                        ? QStringLiteral("シート「%1」を読み込めません。").arg(table)
                        : QStringLiteral("シート「%1」がありません。").arg(table);
            return false;
        }
        std::string part;
        if (!findSheetPart(m_path, table, part, error) || !readSheetTexts(m_path, part, m_texts, error))
            return false;
        for (const SheetTexts::Cell &cell : m_texts.cells())
            m_scan.addCell(cell.row, cell.column, {m_texts.text(cell), TextKind});
        for (FormulaResult &result : formulas) {
            result.cell.xf = valuelessFormats.value(qint64(result.row) << 16 | result.column, 0);
            const QString text = finalText(result.cell, m_styles);
            if (text.isEmpty())
                continue;
            m_scan.addCell(result.row, result.column,
                           {result.cell.type == RawCell::Number ? numberText(result.cell.number) : text,
                            kindKey(result.cell)});
            m_extras[result.row].insert(result.column, text);
        }
        m_scanned = true;
        m_scannedTable = table;
        return true;
    }

    QString m_path;
    QStringList m_sheets;
    bool m_listed = false;
    Styles m_styles;
    SheetScan m_scan;
    std::map<qint64, QMap<int, QString>> m_extras;
    SheetTexts m_texts;
    QString m_scannedTable;
    bool m_scanned = false;
};

} // namespace

std::unique_ptr<TableSource> makeXlsxTableSource(const QString &path)
{
    return std::make_unique<XlsxTableSource>(path);
}

} // namespace masters::tables
