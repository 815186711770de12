// SPDX-License-Identifier: MIT
// The JSON, CSV and tab-separated exports, of the whole catalogue and of part searches, read back
// by Python's json and csv modules and compared with the catalogue's published table, every text
// of every box, trailing blanks included; and the quoting of single texts, including characters the
// catalogue does not hold today.
#include "find/cli.hpp"

#include "tests/support/labelled_rows.hpp"
#include "tests/support/spoken_names.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using testing_support::byLabel;
using testing_support::SpokenName;

// What Python's json and csv modules read from a text (tests/find/read_back.py): one row per
// line, each string hex-encoded so that no parsing is needed here.
using Rows = std::vector<std::vector<std::string>>;

std::string fromHex(std::string_view hex)
{
    std::string bytes;
    for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    }
    return bytes;
}

// Rows read back; nothing when Python refused the text as malformed. The text reaches Python's
// standard input through a file of no name, which goes with its last descriptor.
std::optional<Rows> readBack(std::string_view mode, std::string_view text)
{
    const std::unique_ptr<FILE, int (*)(FILE *)> input(std::tmpfile(), &std::fclose);
    if (!input || std::fwrite(text.data(), 1, text.size(), input.get()) != text.size()
        || std::fflush(input.get()) != 0) {
        throw std::runtime_error("cannot hand the text to Python");
    }
    std::rewind(input.get());
    const std::string command = "/usr/bin/python3 " ICATLAS_READ_BACK " " + std::string(mode)
        + " <&" + std::to_string(fileno(input.get()));
    // What Python writes, read to the end; the pipe is closed, and its status taken, on every path.
    int status = -1;
    const auto close = [&status](FILE *pipe) { status = pclose(pipe); };
    std::string output;
    {
        const std::unique_ptr<FILE, decltype(close)> pipe(popen(command.c_str(), "r"), close);
        if (!pipe) {
            throw std::runtime_error("cannot run " + command);
        }
        std::array<char, 4096> chunk {};
        while (const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), pipe.get())) {
            output.append(chunk.data(), n);
        }
    }
    if (status != 0) {
        return std::nullopt;
    }
    Rows rows;
    std::istringstream lines(output);
    for (std::string line; std::getline(lines, line);) {
        std::vector<std::string> fields;
        std::istringstream cells(line);
        for (std::string cell; std::getline(cells, cell, '\t');) {
            fields.push_back(fromHex(cell));
        }
        if (!line.empty() && line.back() == '\t') {
            fields.emplace_back(); // getline drops an empty last field
        }
        rows.push_back(std::move(fields));
    }
    return rows;
}

using Row = std::vector<std::string>;

// The rows a reader gets back: a heading row where the format has one, then one row per box.
struct ExportCase {
    const char *label;
    std::vector<std::string_view> args;
    const char *mode; // read_back.py's
    std::vector<Row> boxes; // empty: every box of the catalogue
};

const Row kHeading {"record", "part", "model", "family", "box", "text", "box_id", "button_id"};

// The part found twice: in the first and the second row of the power column.
const std::vector<Row> k4376371 {
    {"record", "4376371", "3220", "DCT4", "POWER IC (UEM) 1", "4376371", "Text8", "Command22"},
    {"record", "4376371", "6230", "DCT4", "POWER IC (UEM) 2", "4376371", "Text9", "Command29"},
};

const std::vector<ExportCase> kExports {
    {"json_catalogue", {"--json"}, "json", {}},
    {"csv_catalogue", {"--csv"}, "csv", {}},
    {"tsv_catalogue", {"--tsv"}, "tsv", {}},
    {"json_part", {"--json", "4376371"}, "json", k4376371},
    {"csv_part", {"--csv", "4376371"}, "csv", k4376371},
    {"tsv_part_option_after", {"4376371", "--tsv"}, "tsv", k4376371},
    {"json_two_parts_in_turn",
     {"--json", "4370453", "tea1210ts"},
     "json",
     {{"record", "4370453", "6150", "DCT3", "PA IC 2", "4370453", "Text3", "Command10"},
      {"record", "4370453", "6150", "DCT3", "PA IC 4", "4370453", "Text5", "Command10"},
      {"record", "tea1210ts", "3210", "DCT3", "POWER IC (UEM) 2", "TEA1210TS", "Text9",
       "Command2"}}},
    {"csv_part_echoed_with_escapes",
     {"--csv", "\ufeff4376371\r"},
     "csv",
     {{"record", R"(\ufeff4376371\r)", "3220", "DCT4", "POWER IC (UEM) 1", "4376371", "Text8",
       "Command22"},
      {"record", R"(\ufeff4376371\r)", "6230", "DCT4", "POWER IC (UEM) 2", "4376371", "Text9",
       "Command29"}}},
    {"json_nothing_found", {"--json", "ZZZ999"}, "json", {}},
    {"tsv_nothing_found", {"--tsv", "ZZZ999"}, "tsv", {}},
};

// Every box of every model in the window's order, worked by hand: the click table's texts, each
// box's name as a listener hears it, and the family of the frame the model's button stands in.
std::vector<Row> everyBox()
{
    const std::vector<SpokenName> spoken = testing_support::spokenNames();
    std::vector<Row> rows;
    for (const testing_support::ClickCase &click : testing_support::kClicks) {
        const int button = std::stoi(std::string(click[0].substr(7))); // after "Command"
        const char *family = button <= 17 ? "DCT3" : button == 25 || button >= 39 ? "WD2" : "DCT4";
        for (std::size_t box = 1; box <= 16; ++box) {
            const std::string name = "Text" + std::to_string(box);
            const auto heard = std::ranges::find(spoken, name, &SpokenName::control);
            rows.push_back({"record", "", std::string(click[1]), family, heard->name,
                            std::string(click.at(box)), name, std::string(click[0])});
        }
    }
    return rows;
}

class ExportReadBack : public ::testing::TestWithParam<ExportCase> { };

TEST_P(ExportReadBack, HoldsTheBoxesExactlyAsStored)
{
    const ExportCase &c = GetParam();
    std::ostringstream out;
    std::ostringstream err;
    const int status = icatlas::find::run(c.args, out, err);
    const bool nothingFound = c.boxes.empty() && c.args.size() > 1;
    EXPECT_EQ(status, nothingFound ? icatlas::find::kExitNothingFound : icatlas::find::kExitFound);
    EXPECT_EQ(err.str(), "") << "nothing but the export is written";
    const std::optional<Rows> rows = readBack(c.mode, out.str());
    ASSERT_TRUE(rows.has_value()) << "Python refused the export:\n" << out.str();
    std::vector<Row> expected = nothingFound || !c.boxes.empty() ? c.boxes : everyBox();
    if (std::string_view(c.mode) != "json") {
        expected.insert(expected.begin(), kHeading);
    }
    EXPECT_EQ(*rows, expected);
}

INSTANTIATE_TEST_SUITE_P(Export, ExportReadBack, ::testing::ValuesIn(kExports), byLabel);

struct MalformedCase {
    const char *label;
    const char *mode;
    const char *text;
};

// What the read-back adds to Python's modules: it refuses what they would let through.
const auto kMalformed = std::to_array<MalformedCase>({
    {"json_member_twice", "json-string", R"({"a": 1, "a": 2})"},
    {"json_not_a_number", "json-string", "NaN"},
    {"json_number_for_a_string", "json-string", "1"},
    {"csv_bare_lf_line_end", "csv", "a,b\n"},
    {"csv_no_final_line_end", "csv", "a,b"},
    {"csv_m_textafter_closing_quote", "csv", "\"a\"b,c\r\n"},
});

class ReadBackRefuses : public ::testing::TestWithParam<MalformedCase> { };

TEST_P(ReadBackRefuses, Malformed)
{
    EXPECT_FALSE(readBack(GetParam().mode, GetParam().text).has_value());
}

INSTANTIATE_TEST_SUITE_P(Export, ReadBackRefuses, ::testing::ValuesIn(kMalformed), byLabel);

struct QuotingCase {
    const char *label;
    std::string_view text;
    const char *json;
    const char *csv;
};

const auto kQuoting = std::to_array<QuotingCase>({
    {"plain", "4370825", R"("4370825")", "4370825"},
    {"empty", "", R"("")", ""},
    {"trailing_blank", "CCONT ", R"("CCONT ")", R"("CCONT ")"},
    {"leading_blank", " CCONT", R"(" CCONT")", R"(" CCONT")"},
    {"inner_blanks_and_parentheses", "K4S64163JF (4M x16)", R"json("K4S64163JF (4M x16)")json",
     "K4S64163JF (4M x16)"},
    {"comma", "4M,x16", R"("4M,x16")", R"("4M,x16")"},
    {"double_quote", "8\" wide", R"("8\" wide")", R"("8"" wide")"},
    {"backslash", R"(a\b)", R"("a\\b")", R"(a\b)"},
    {"line_ends", "a\r\nb", R"("a\r\nb")", "\"a\r\nb\""},
    {"tab", "a\tb", R"("a\tb")", "a\tb"},
    {"other_control_character", std::string_view("a\x01z", 3), R"("a\u0001z")", "a\x01z"},
    {"question_marks_and_ampersand", "&?(4Mx16)", R"json("&?(4Mx16)")json", "&?(4Mx16)"},
});

class Quoting : public ::testing::TestWithParam<QuotingCase> { };

TEST_P(Quoting, JsonStringReadsBackAsTheText)
{
    const std::string literal = icatlas::find::jsonString(GetParam().text);
    EXPECT_EQ(literal, GetParam().json);
    EXPECT_EQ(readBack("json-string", literal), (Rows {{"string", std::string(GetParam().text)}}));
}

TEST_P(Quoting, CsvFieldReadsBackAsTheText)
{
    const std::string field = icatlas::find::csvField(GetParam().text);
    EXPECT_EQ(field, GetParam().csv);
    EXPECT_EQ(readBack("csv", field + "\r\n"), (Rows {{"record", std::string(GetParam().text)}}));
}

INSTANTIATE_TEST_SUITE_P(Export, Quoting, ::testing::ValuesIn(kQuoting), byLabel);

} // namespace
