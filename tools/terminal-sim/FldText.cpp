#include "FldText.h"

#include <charconv>

namespace termsim {

std::uint64_t FldInfo::recordLength() const
{
    std::uint64_t sum = 0;
    for (int w : widths)
        sum += static_cast<std::uint64_t>(w);
    return sum;
}

FldInfo fldFor(const std::string &file, std::uint64_t dataSize, const std::vector<int> &widths)
{
    FldInfo info;
    info.file = file;
    info.size = dataSize;
    info.widths = widths;
    const std::uint64_t line = info.recordLength() + 2;
    info.records = dataSize / line + (dataSize % line > 2 ? 1 : 0);
    return info;
}

std::string makeFldText(const FldInfo &info)
{
    std::string widths;
    for (std::size_t i = 0; i < info.widths.size(); ++i) {
        if (i)
            widths += ' ';
        widths += std::to_string(info.widths[i]);
    }
    std::string text = "* created by BHT\r\n";
    text += "file\t" + info.file + "\r\n";
    text += "size\t" + std::to_string(info.size) + "\r\n";
    text += "records\t" + std::to_string(info.records) + "\r\n";
    text += (info.widths.size() == 1 ? "field\t" : "fields\t") + widths + "\r\n";
    return text;
}

namespace {

// The value of "key TAB value CR LF" lines; empty when no line has the key.
std::optional<std::string_view> value(std::string_view text, std::string_view key)
{
    std::size_t at = 0;
    while (at < text.size()) {
        std::size_t end = text.find("\r\n", at);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(at, end - at);
        if (line.size() > key.size() && line.substr(0, key.size()) == key && line[key.size()] == '\t')
            return line.substr(key.size() + 1);
        at = end + 2;
    }
    return std::nullopt;
}

std::optional<std::uint64_t> number(std::optional<std::string_view> text)
{
    if (!text || text->empty())
        return std::nullopt;
    std::uint64_t n = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), n);
    if (error != std::errc() || end != text->data() + text->size())
        return std::nullopt;
    return n;
}

} // namespace

std::optional<std::vector<int>> parseWidths(std::string_view list)
{
    std::vector<int> widths;
    std::size_t at = 0;
    while (at <= list.size()) {
        std::size_t end = list.find_first_of(", ", at);
        if (end == std::string_view::npos)
            end = list.size();
        int w = 0;
        const auto [p, error] = std::from_chars(list.data() + at, list.data() + end, w);
        if (error != std::errc() || p != list.data() + end || w <= 0)
            return std::nullopt;
        widths.push_back(w);
        at = end + 1;
    }
    if (widths.empty())
        return std::nullopt;
    return widths;
}

std::optional<FldInfo> parseFldText(std::string_view text)
{
    const std::size_t nul = text.find('\0');
    if (nul != std::string_view::npos)
        text = text.substr(0, nul);
    FldInfo info;
    const auto file = value(text, "file");
    const auto size = number(value(text, "size"));
    auto records = number(value(text, "records"));
    if (!records)
        records = number(value(text, "record"));
    auto fields = value(text, "fields");
    if (!fields)
        fields = value(text, "field");
    if (!file || file->empty() || !size || !records || !fields)
        return std::nullopt;
    const auto widths = parseWidths(*fields);
    if (!widths)
        return std::nullopt;
    info.file = std::string(*file);
    info.size = *size;
    info.records = *records;
    info.widths = *widths;
    return info;
}

} // namespace termsim
