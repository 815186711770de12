// SPDX-License-Identifier: MIT
// The JSON and CSV exports read back by strict parsers of our own and compared with the
// catalogue, every text of every record, trailing blanks included; and the quoting of single
// texts, including characters the catalogue does not hold today.
#include "find/cli.hpp"
#include "find/lookup.hpp"

#include "catalogue/catalogue.hpp"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using icatlas::ComponentCatalogue;
using icatlas::kComponentSlots;
using icatlas::ModelRecord;

struct ParseError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A JSON value. The export needs no true, false or null, so they are refused along with anything
// malformed.
struct Json {
    enum class Kind : std::uint8_t { Number, String, Array, Object };
    Kind kind = Kind::Number;
    std::string text; // a string's value, or a number's spelling
    std::vector<Json> items; // array items, or object member values
    std::vector<std::string> names; // object member names, alongside items

    [[nodiscard]] const Json &operator[](std::string_view name) const
    {
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i] == name) {
                return items[i];
            }
        }
        throw ParseError("no member " + std::string(name));
    }
};

class JsonParser {
public:
    explicit JsonParser(std::string_view text)
        : text_(text)
    {
    }

    Json document()
    {
        Json value = parseValue();
        skipWhitespace();
        if (pos_ != text_.size()) {
            fail("text after the value");
        }
        return value;
    }

private:
    [[noreturn]] void fail(const std::string &what) const
    {
        throw ParseError(what + " at offset " + std::to_string(pos_));
    }

    void skipWhitespace()
    {
        while (pos_ < text_.size()
               && (text_[pos_] == ' ' || text_[pos_] == '\n' || text_[pos_] == '\r'
                   || text_[pos_] == '\t')) {
            ++pos_;
        }
    }

    char peek()
    {
        skipWhitespace();
        if (pos_ == text_.size()) {
            fail("unexpected end");
        }
        return text_[pos_];
    }

    void expect(char c)
    {
        if (peek() != c) {
            fail(std::string("expected ") + c);
        }
        ++pos_;
    }

    Json parseValue()
    {
        const char c = peek();
        if (c == '{') {
            return parseObject();
        }
        if (c == '[') {
            return parseArray();
        }
        if (c == '"') {
            return {Json::Kind::String, parseString(), {}, {}};
        }
        return parseNumber();
    }

    Json parseNumber()
    {
        const std::size_t start = pos_;
        if (pos_ < text_.size() && text_[pos_] == '-') {
            ++pos_;
        }
        const std::size_t digits = pos_;
        while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
            ++pos_;
        }
        if (pos_ == digits || (text_[digits] == '0' && pos_ - digits > 1)) {
            fail("bad number");
        }
        return {Json::Kind::Number, std::string(text_.substr(start, pos_ - start)), {}, {}};
    }

    Json parseArray()
    {
        expect('[');
        Json array {Json::Kind::Array, {}, {}, {}};
        if (peek() == ']') {
            ++pos_;
            return array;
        }
        for (;;) {
            array.items.push_back(parseValue());
            if (peek() == ']') {
                ++pos_;
                return array;
            }
            expect(',');
        }
    }

    Json parseObject()
    {
        expect('{');
        Json object {Json::Kind::Object, {}, {}, {}};
        if (peek() == '}') {
            ++pos_;
            return object;
        }
        for (;;) {
            if (peek() != '"') {
                fail("expected a member name");
            }
            std::string name = parseString();
            if (std::find(object.names.begin(), object.names.end(), name) != object.names.end()) {
                fail("member " + name + " twice");
            }
            expect(':');
            object.names.push_back(std::move(name));
            object.items.push_back(parseValue());
            if (peek() == '}') {
                ++pos_;
                return object;
            }
            expect(',');
        }
    }

    [[nodiscard]] unsigned hexDigit(char c) const
    {
        if (c >= '0' && c <= '9') {
            return static_cast<unsigned>(c - '0');
        }
        if (c >= 'a' && c <= 'f') {
            return static_cast<unsigned>(c - 'a' + 10);
        }
        if (c >= 'A' && c <= 'F') {
            return static_cast<unsigned>(c - 'A' + 10);
        }
        fail("bad hex digit");
    }

    // Only escapes below 0x80 come up; anything above would need UTF-8 encoding.
    char parseUnicodeEscape()
    {
        if (pos_ + 4 > text_.size()) {
            fail("short \\u escape");
        }
        unsigned code = 0;
        for (int i = 0; i < 4; ++i) {
            code = code * 16 + hexDigit(text_[pos_++]);
        }
        if (code >= 0x80) {
            fail("\\u escape beyond ASCII");
        }
        return static_cast<char>(code);
    }

    std::string parseString()
    {
        expect('"');
        std::string value;
        for (;;) {
            if (pos_ == text_.size()) {
                fail("unterminated string");
            }
            const char c = text_[pos_++];
            if (c == '"') {
                return value;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                fail("raw control character in string");
            }
            if (c != '\\') {
                value += c;
                continue;
            }
            if (pos_ == text_.size()) {
                fail("unterminated escape");
            }
            const char e = text_[pos_++];
            switch (e) {
            case '"':
            case '\\':
            case '/':
                value += e;
                break;
            case 'b':
                value += '\b';
                break;
            case 'f':
                value += '\f';
                break;
            case 'n':
                value += '\n';
                break;
            case 'r':
                value += '\r';
                break;
            case 't':
                value += '\t';
                break;
            case 'u':
                value += parseUnicodeEscape();
                break;
            default:
                fail("bad escape");
            }
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

Json parseJson(std::string_view text)
{
    return JsonParser(text).document();
}

// RFC 4180 records: CRLF after every record, quoted fields with doubled quotes; a bare CR or LF
// outside quotes, or a quote inside an unquoted field, is refused.
std::vector<std::vector<std::string>> parseCsv(std::string_view text)
{
    std::vector<std::vector<std::string>> records;
    std::vector<std::string> fields;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::string field;
        if (text[pos] == '"') {
            ++pos;
            for (;;) {
                if (pos == text.size()) {
                    throw ParseError("unterminated quoted field");
                }
                if (text[pos] == '"') {
                    if (pos + 1 < text.size() && text[pos + 1] == '"') {
                        field += '"';
                        pos += 2;
                        continue;
                    }
                    ++pos;
                    break;
                }
                field += text[pos++];
            }
        } else {
            while (pos < text.size() && text[pos] != ',' && text[pos] != '\r') {
                if (text[pos] == '"' || text[pos] == '\n') {
                    throw ParseError("quote or bare LF in unquoted field at "
                                     + std::to_string(pos));
                }
                field += text[pos++];
            }
        }
        fields.push_back(std::move(field));
        if (text.substr(pos, 1) == ",") {
            ++pos;
        } else if (text.substr(pos, 2) == "\r\n") {
            pos += 2;
            records.push_back(std::move(fields));
            fields.clear();
        } else {
            throw ParseError("field not followed by a comma or CRLF at " + std::to_string(pos));
        }
    }
    return records;
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

TEST(Export, JsonHoldsEveryRecordExactlyAsStored)
{
    const Json document = parseJson(runExport("--json"));
    const Json &models = document["models"];
    ASSERT_EQ(models.kind, Json::Kind::Array);
    const auto records = ComponentCatalogue::records();
    ASSERT_EQ(models.items.size(), records.size());
    for (std::size_t r = 0; r < records.size(); ++r) {
        const ModelRecord &record = records[r];
        const Json &model = models.items[r];
        EXPECT_EQ(model["model"].text, record.model);
        EXPECT_EQ(model["family"].text, icatlas::familyName(record.family));
        EXPECT_EQ(model["button"].text, record.button);
        const Json &slots = model["slots"];
        ASSERT_EQ(slots.items.size(), kComponentSlots.size()) << record.model;
        for (std::size_t i = 0; i < kComponentSlots.size(); ++i) {
            const Json &slot = slots.items[i];
            const auto &expected = kComponentSlots.at(i);
            EXPECT_EQ(slot["box"].text, expected.box);
            EXPECT_EQ(slot["column"].text, icatlas::columnHeading(expected.column));
            EXPECT_EQ(slot["row"].kind, Json::Kind::Number);
            EXPECT_EQ(slot["row"].text, std::to_string(expected.row + 1));
            EXPECT_EQ(slot["text"].kind, Json::Kind::String);
            EXPECT_EQ(slot["text"].text, record.slots.at(i)) << record.model << " " << expected.box;
        }
    }
}

TEST(Export, CsvHoldsEveryRecordExactlyAsStored)
{
    const auto rows = parseCsv(runExport("--csv"));
    const auto records = ComponentCatalogue::records();
    ASSERT_EQ(rows.size(), records.size() + 1);
    std::vector<std::string> heading {"Family", "Button", "Phone Model"};
    for (const auto &slot : kComponentSlots) {
        heading.push_back(icatlas::find::slotLabel(slot));
    }
    EXPECT_EQ(rows[0], heading);
    for (std::size_t r = 0; r < records.size(); ++r) {
        const ModelRecord &record = records[r];
        std::vector<std::string> expected {std::string(icatlas::familyName(record.family)),
                                           std::string(record.button), std::string(record.model)};
        for (const std::string_view text : record.slots) {
            expected.emplace_back(text);
        }
        EXPECT_EQ(rows[r + 1], expected);
    }
}

struct ParserRejectCase {
    const char *label;
    const char *text;
};

// The read-back is only worth something if the parsers refuse what a careless writer produces.
const auto kMalformedJson = std::to_array<ParserRejectCase>({
    {"unescaped_quote", R"({"a": "x"y"})"},
    {"raw_newline_in_string", "{\"a\": \"x\ny\"}"},
    {"trailing_comma", R"({"a": [1, 2,]})"},
    {"missing_comma", R"({"a": 1 "b": 2})"},
    {"single_quotes", R"({'a': 1})"},
    {"unknown_escape", R"({"a": "\q"})"},
    {"text_after_document", R"({"a": 1} x)"},
    {"duplicate_member", R"({"a": 1, "a": 2})"},
});

class JsonParserRejects : public ::testing::TestWithParam<ParserRejectCase> { };

TEST_P(JsonParserRejects, Malformed)
{
    EXPECT_THROW(parseJson(GetParam().text), ParseError);
}

INSTANTIATE_TEST_SUITE_P(Export, JsonParserRejects, ::testing::ValuesIn(kMalformedJson),
                         [](const auto &info) { return std::string(info.param.label); });

const auto kMalformedCsv = std::to_array<ParserRejectCase>({
    {"bare_lf_line_end", "a,b\n"},
    {"no_final_line_end", "a,b"},
    {"quote_in_unquoted_field", "a\"b,c\r\n"},
    {"unterminated_quote", "\"a,b\r\n"},
    {"text_after_closing_quote", "\"a\"b,c\r\n"},
});

class CsvParserRejects : public ::testing::TestWithParam<ParserRejectCase> { };

TEST_P(CsvParserRejects, Malformed)
{
    EXPECT_THROW(parseCsv(GetParam().text), ParseError);
}

INSTANTIATE_TEST_SUITE_P(Export, CsvParserRejects, ::testing::ValuesIn(kMalformedCsv),
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
    EXPECT_EQ(parseJson(literal).text, GetParam().text);
}

TEST_P(Quoting, CsvFieldReadsBackAsTheText)
{
    const std::string field = icatlas::find::csvField(GetParam().text);
    EXPECT_EQ(field, GetParam().csv);
    const auto rows = parseCsv(field + "\r\n");
    ASSERT_EQ(rows.size(), 1U);
    EXPECT_EQ(rows[0], std::vector<std::string> {std::string(GetParam().text)});
}

INSTANTIATE_TEST_SUITE_P(Export, Quoting, ::testing::ValuesIn(kQuoting),
                         [](const auto &info) { return std::string(info.param.label); });

} // namespace
