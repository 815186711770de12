// SPDX-License-Identifier: MIT
// The JSON and CSV exports read back by Python's json and csv modules and compared with the
// catalogue, every text of every record, trailing blanks included; and the quoting of single
// texts, including characters the catalogue does not hold today.
#include "find/cli.hpp"
#include "find/lookup.hpp"

#include "catalogue/catalogue.hpp"

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using icatlas::ComponentCatalogue;
using icatlas::kComponentSlots;
using icatlas::ModelRecord;

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

// A file removed when it goes out of scope.
class ScratchFile {
public:
    explicit ScratchFile(std::string_view contents)
    {
        const char *tmp = std::getenv("TMPDIR"); // NOLINT(concurrency-mt-unsafe): no threads here
        path_ = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/export-XXXXXX";
        const int fd = mkstemp(path_.data());
        if (fd < 0) {
            throw std::runtime_error("cannot create " + path_);
        }
        const bool written
            = write(fd, contents.data(), contents.size()) == static_cast<ssize_t>(contents.size());
        close(fd);
        if (!written) {
            throw std::runtime_error("cannot write " + path_);
        }
    }
    ScratchFile(const ScratchFile &) = delete;
    ScratchFile &operator=(const ScratchFile &) = delete;
    ScratchFile(ScratchFile &&) = delete;
    ScratchFile &operator=(ScratchFile &&) = delete;
    ~ScratchFile() { unlink(path_.c_str()); }
    [[nodiscard]] const std::string &path() const { return path_; }

private:
    std::string path_;
};

// A command's output, read to the end; the command's status is kept for the caller.
class CommandOutput {
public:
    explicit CommandOutput(const std::string &command)
        : pipe_(popen(command.c_str(), "r"))
    {
        if (pipe_ == nullptr) {
            throw std::runtime_error("cannot run " + command);
        }
        std::array<char, 4096> chunk {};
        while (const std::size_t n = std::fread(chunk.data(), 1, chunk.size(), pipe_)) {
            text_.append(chunk.data(), n);
        }
        status_ = pclose(pipe_);
        pipe_ = nullptr;
    }
    CommandOutput(const CommandOutput &) = delete;
    CommandOutput &operator=(const CommandOutput &) = delete;
    CommandOutput(CommandOutput &&) = delete;
    CommandOutput &operator=(CommandOutput &&) = delete;
    ~CommandOutput()
    {
        if (pipe_ != nullptr) {
            pclose(pipe_);
        }
    }
    [[nodiscard]] const std::string &text() const { return text_; }
    [[nodiscard]] bool succeeded() const { return status_ == 0; }

private:
    FILE *pipe_;
    std::string text_;
    int status_ = -1;
};

// Rows read back; nothing when Python refused the text as malformed.
std::optional<Rows> readBack(std::string_view mode, std::string_view text)
{
    const ScratchFile input(text);
    const CommandOutput output("/usr/bin/python3 " ICATLAS_READ_BACK " " + std::string(mode) + " < "
                               + input.path());
    if (!output.succeeded()) {
        return std::nullopt;
    }
    Rows rows;
    std::istringstream lines(output.text());
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

std::string runExport(std::string_view option)
{
    std::ostringstream out;
    std::ostringstream err;
    const std::array<std::string_view, 1> args {option};
    const int status = icatlas::find::run(args, out, err);
    if (status != icatlas::find::kExitFound || !err.str().empty()) {
        throw std::runtime_error("export failed: " + err.str());
    }
    return out.str();
}

using Row = std::vector<std::string>;

TEST(Export, JsonHoldsEveryRecordExactlyAsStored)
{
    const std::optional<Rows> rows = readBack("json", runExport("--json"));
    ASSERT_TRUE(rows.has_value()) << "Python's json module refused the export";
    const auto records = ComponentCatalogue::records();
    ASSERT_EQ(rows->size(), records.size() * (1 + kComponentSlots.size()));
    auto row = rows->begin();
    for (const ModelRecord &record : records) {
        EXPECT_EQ(
            *row++,
            (Row {"model", std::string(record.model),
                  std::string(icatlas::familyName(record.family)), std::string(record.button)}));
        for (std::size_t i = 0; i < kComponentSlots.size(); ++i) {
            const auto &slot = kComponentSlots.at(i);
            EXPECT_EQ(*row++,
                      (Row {"slot", std::string(slot.box),
                            std::string(icatlas::columnHeading(slot.column)),
                            std::to_string(slot.row + 1), std::string(record.slots.at(i))}))
                << record.model << " " << slot.box;
        }
    }
}

TEST(Export, CsvHoldsEveryRecordExactlyAsStored)
{
    const std::optional<Rows> rows = readBack("csv", runExport("--csv"));
    ASSERT_TRUE(rows.has_value()) << "Python's csv module refused the export";
    const auto records = ComponentCatalogue::records();
    ASSERT_EQ(rows->size(), records.size() + 1);
    Row heading {"record", "Family", "Button", "Phone Model"};
    for (const auto &slot : kComponentSlots) {
        heading.push_back(icatlas::find::slotLabel(slot));
    }
    EXPECT_EQ(rows->front(), heading);
    for (std::size_t r = 0; r < records.size(); ++r) {
        const ModelRecord &record = records[r];
        Row expected {"record", std::string(icatlas::familyName(record.family)),
                      std::string(record.button), std::string(record.model)};
        for (const std::string_view text : record.slots) {
            expected.emplace_back(text);
        }
        EXPECT_EQ(rows->at(r + 1), expected);
    }
}

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
    {"csv_text_after_closing_quote", "csv", "\"a\"b,c\r\n"},
});

class ReadBackRefuses : public ::testing::TestWithParam<MalformedCase> { };

TEST_P(ReadBackRefuses, Malformed)
{
    EXPECT_FALSE(readBack(GetParam().mode, GetParam().text).has_value());
}

INSTANTIATE_TEST_SUITE_P(Export, ReadBackRefuses, ::testing::ValuesIn(kMalformed),
                         [](const auto &info) { return std::string(info.param.label); });

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

INSTANTIATE_TEST_SUITE_P(Export, Quoting, ::testing::ValuesIn(kQuoting),
                         [](const auto &info) { return std::string(info.param.label); });

} // namespace
