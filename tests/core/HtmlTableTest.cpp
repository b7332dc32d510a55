#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "sheets/HtmlTable.h"

namespace scortavia {
namespace {

// ---- Cell texts ----

// How a spreadsheet program is told to read each cell: a text column's cells, and an amount that is not
// in the card's form, stay text whatever they look like; an amount in the card's form is a number with
// the card's decimals.
struct CellTagCase {
    CellKind kind;
    std::string text;
    std::string tag;
};

void PrintTo(const CellTagCase& c, std::ostream* os) {
    *os << (c.kind == CellKind::Text ? "text " : "amount ") << testing::PrintToString(c.text);
}

class ExportCellTagTest : public testing::TestWithParam<CellTagCase> {};

TEST_P(ExportCellTagTest, TellsTheSpreadsheetWhatTheCellHolds) {
    std::string scratch;
    EXPECT_EQ(exportCellTag(GetParam().kind, GetParam().text, scratch), GetParam().tag);
}

const std::string kTextTag = "<td style=\"text-align: left; mso-number-format:'\\@';\" sdnum=\"1033;0;@\">";
std::string numberTag(const std::string& value, const std::string& format) {
    return "<td style=\"text-align: left;\" sdval=\"" + value + "\" sdnum=\"1033;0;" + format + "\">";
}
constexpr CellKind kText = CellKind::Text;
constexpr CellKind kAmount = CellKind::Number;

INSTANTIATE_TEST_SUITE_P(
    Table, ExportCellTagTest,
    testing::Values(CellTagCase{kText, "00123", kTextTag},       // a code keeps its leading zeros
                    CellTagCase{kText, "0612345678", kTextTag},  // a telephone number too
                    CellTagCase{kText, "3E5", kTextTag},         // not 300000
                    CellTagCase{kText, "1.250", kTextTag},       // not 1250
                    CellTagCase{kText, "=1+1", kTextTag},        // never a formula
                    CellTagCase{kText, "12", kTextTag}, CellTagCase{kText, "", kTextTag},
                    CellTagCase{kAmount, "1,25", numberTag("1.25", "0.00")},
                    CellTagCase{kAmount, "14,90", numberTag("14.90", "0.00")},  // shown as the card shows it
                    CellTagCase{kAmount, "120", numberTag("120", "0")},
                    CellTagCase{kAmount, "-3,750", numberTag("-3.750", "0.000")},
                    CellTagCase{kAmount, "999999999999999", numberTag("999999999999999", "0")},
                    CellTagCase{kAmount, "9999999999999,99", numberTag("9999999999999.99", "0.00")},
                    CellTagCase{kAmount, "", "<td style=\"text-align: left;\">"},  // left for a number typed later
                    // More digits than a spreadsheet holds exactly, or not the card's form: text as written.
                    CellTagCase{kAmount, "1234567890123456", kTextTag}, CellTagCase{kAmount, "1.250", kTextTag},
                    CellTagCase{kAmount, "1.250,00", kTextTag}, CellTagCase{kAmount, "3E5", kTextTag},
                    CellTagCase{kAmount, "=1+1", kTextTag}, CellTagCase{kAmount, "1,", kTextTag},
                    CellTagCase{kAmount, ",5", kTextTag}, CellTagCase{kAmount, "-", kTextTag},
                    CellTagCase{kAmount, "+5", kTextTag}, CellTagCase{kAmount, "1,2,3", kTextTag},
                    CellTagCase{kAmount, "1 000", kTextTag}, CellTagCase{kAmount, "n.d.", kTextTag}));

struct CellCase {
    std::string grid;
    std::string file;  // UTF-8, before the code page
};

void PrintTo(const CellCase& c, std::ostream* os) { *os << testing::PrintToString(c.grid); }

class ExportCellTextTest : public testing::TestWithParam<CellCase> {};

TEST_P(ExportCellTextTest, IsTrimmedAndEscapedOnlyWhereNeeded) {
    EXPECT_EQ(exportCellText(GetParam().grid), GetParam().file);
}

INSTANTIATE_TEST_SUITE_P(Table, ExportCellTextTest,
                         testing::Values(CellCase{"Viti & bulloni", "Viti & bulloni"},  // bare: starts nothing
                                         CellCase{"<2 mm", "&lt;2 mm"}, CellCase{"vite <M6>", "vite &lt;M6&gt;"},
                                         CellCase{"a&b;", "a&amp;b;"},    // would read as a named reference
                                         CellCase{"&#65;", "&amp;#65;"},  // would read as "A"
                                         CellCase{"AT&T", "AT&amp;T"},    // no semicolon needed to be read
                                         CellCase{"a&&b", "a&&amp;b"},    // only the one before the letter
                                         CellCase{"fine &", "fine &"},    // "&" last
                                         CellCase{"10 &9", "10 &9"},      // a digit starts no reference
                                         CellCase{"&amp;", "&amp;amp;"},  // kept as typed
                                         CellCase{"  Nome \t", "Nome"},   // trimmed
                                         CellCase{"\x01 x \x1f", "x"},    // control characters trimmed too
                                         CellCase{" a  b ", "a  b"},      // inner blanks kept
                                         CellCase{"riga\r\nnuova", "riga&#13;&#10;nuova"},  // the file stays one line
                                         CellCase{"perché € ā", "perché € ā"},              // the code page comes later
                                         CellCase{"", ""}));

}  // namespace
}  // namespace scortavia
