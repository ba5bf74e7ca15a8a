#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The field-definition text that goes before every record data file: five CR LF lines naming the
// data file, its size, its record count and its field widths, keys and values split by a TAB.
namespace termsim {

struct FldInfo {
    std::string file;
    std::uint64_t size = 0;
    std::uint64_t records = 0;
    std::vector<int> widths;

    std::uint64_t recordLength() const;
};

// The text the terminal writes for a record data file of dataSize bytes with these widths.
FldInfo fldFor(const std::string &file, std::uint64_t dataSize, const std::vector<int> &widths);
std::string makeFldText(const FldInfo &info);

// Reads a received text (NUL filling at the end is ignored); empty when a line is missing or a
// number is not one. Accepts "record"/"field" for a single value.
std::optional<FldInfo> parseFldText(std::string_view text);

// "4,1,2" or "4 1 2"; empty on anything that is not a list of positive widths.
std::optional<std::vector<int>> parseWidths(std::string_view list);

} // namespace termsim
