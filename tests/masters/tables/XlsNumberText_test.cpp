#include "masters/tables/ValueText.h"
#include "masters/tables/xls/XlsNumberText.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

using masters::tables::numberText;
using masters::tables::xls::sheetNumberText;

namespace {

// The shortcut writes every number exactly as the general conversion does: the .xls and .xlsx
// readers must give the same text for the same cell.
TEST(XlsNumberText, WritesEveryNumberAsNumberTextDoes)
{
    std::vector<double> values = {0.0,
                                  -0.0,
                                  0.1,
                                  0.29,
                                  1.005,
                                  -0.5,
                                  98.5,
                                  -3,
                                  150,
                                  1e20,
                                  1.5e-7,
                                  4901234567890,
                                  999999999999.99,
                                  9999999999999.99,
                                  1e13,
                                  -1e13 + 0.01,
                                  123456789012.345,
                                  std::numeric_limits<double>::quiet_NaN(),
                                  std::numeric_limits<double>::infinity()};
    for (long long k = -200000; k <= 200000; ++k)
        values.push_back(double(k) / 100);
    for (long long k = 9999999999990LL; k <= 10000000000010LL; ++k)
        values.push_back(double(k) / 100);
    std::mt19937_64 random(20240105);
    std::uniform_real_distribution<double> spread(-1e6, 1e6);
    for (int i = 0; i < 100000; ++i) {
        const double value = spread(random);
        values.push_back(value);
        values.push_back(std::round(value * 100) / 100);
        values.push_back(std::round(value * 1000) / 1000);
    }
    int mismatches = 0;
    for (const double value : values) {
        if (sheetNumberText(value) != numberText(value) && ++mismatches <= 10)
            ADD_FAILURE() << value << ": " << sheetNumberText(value).toStdString() << " against "
                          << numberText(value).toStdString();
    }
    EXPECT_EQ(mismatches, 0);
}

} // namespace
