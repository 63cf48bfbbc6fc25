// The scanner against the C library's own fscanf, on generated input: every
// token, every value (bit for bit) and every byte consumed must agree.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "scanner.h"
#include "scene/scene.h"

namespace {

enum class Op { Token, Double, Float, StatementDouble, StatementFloat };

// Pieces that stress the number grammar: partial words, exponents, hex,
// signs, dots, and ordinary numbers.
const char* const kPieces[] = {
    "0",
    "1",
    "9",
    "12",
    "007",
    ".",
    "..",
    "+",
    "-",
    "e",
    "E",
    "e+",
    "e-",
    "E-3",
    "x",
    "X",
    "0x",
    "0X",
    "p",
    "P",
    "p+",
    "p-2",
    "a",
    "f",
    "A",
    "F",
    "n",
    "na",
    "nan",
    "NaN",
    "nax",
    "i",
    "in",
    "inf",
    "INF",
    "infi",
    "infin",
    "infinit",
    "infinity",
    "Infinity",
    "infix",
    "1e",
    "1.e3",
    "+.5",
    "-.",
    "1.5.3",
    "0x1p3",
    "0x1.8p1",
    "0x.",
    "0xg",
    "0xp3",
    "1e5e3",
    "-x",
    "--1",
    "+-1",
    "1e+-2",
    "Cube",
    "cube",
    "Sphere",
    "Push",
    "Pop",
    "3.14159",
    "16777217",
    "1234.5678",
    "1e308",
    "1e309",
    "-1e400",
    "4.9e-324",
    "2.4e-324",
    "1e-400",
    "0.1",
    "340282356779733661637539395458142568448",
    "3.4028235e38",
    "1.17549435e-38",
    "00000000000000000000000000000001",
    "1.00000005960464477539062500000000001",
    "0x1.fffffffffffffp1023",
    "0x1p-1075",
    "0X1P+3",
    "nan(",
    "nan(123)",
};
const char kBlanks[] = {' ', '\t', '\n', '\r', '\v', '\f'};

std::string generateInput(std::mt19937& random) {
    std::string text;
    std::uniform_int_distribution<int> pieceCount(0, 12);
    std::uniform_int_distribution<int> choice(0, 99);
    const int count = pieceCount(random);
    for (int i = 0; i < count; ++i) {
        const int c = choice(random);
        if (c < 55) {
            text += kPieces[random() % (sizeof kPieces / sizeof kPieces[0])];
        } else if (c < 70) {
            char number[64];
            std::snprintf(number, sizeof number, (c & 1) ? "%.17g" : "%a",
                          std::ldexp(static_cast<double>(random()) - 2147483648.0,
                                     static_cast<int>(random() % 200) - 100));
            text += number;
        } else if (c < 80) {
            std::string digits = (c & 1) ? "-" : "";
            const int n = 1 + static_cast<int>(random() % 40);
            for (int d = 0; d < n; ++d) digits += static_cast<char>('0' + random() % 10);
            if (c & 2) digits.insert(digits.size() / 2, ".");
            text += digits;
        } else if (c < 85) {
            text += static_cast<char>(random() % 256);  // any byte, NUL included
        } else {
            text += kBlanks[random() % sizeof kBlanks];
        }
        if (choice(random) < 50) text += kBlanks[random() % sizeof kBlanks];
    }
    return text;
}

struct Mismatch {
    std::string where;
};

// Runs the same operations through fscanf and through the scanner.
void compareOne(const std::string& input, const std::vector<Op>& ops, std::string& failure) {
    std::FILE* file = fmemopen(const_cast<char*>(input.data()), input.size(), "r");
    ASSERT_NE(file, nullptr);
    scanOpenMemory(input.data(), input.size());

    for (std::size_t k = 0; k < ops.size() && failure.empty(); ++k) {
        char expected[1200];
        std::memset(expected, 0xAA, sizeof expected);
        bool libcOk = false, ours = false;
        std::string detail;
        switch (ops[k]) {
            case Op::Token: {
                libcOk = std::fscanf(file, "%1100s", expected) == 1;
                ScanToken token;
                ours = scanToken(token);
                if (libcOk && ours) {
                    const std::size_t keep = std::min(token.length, kTokenKeep);
                    if (expected[token.length] != '\0' ||
                        std::memcmp(expected, token.text, keep) != 0)
                        detail = "token text";
                }
                break;
            }
            case Op::Double: {
                double a = 0, b = 0;
                libcOk = std::fscanf(file, "%lf", &a) == 1;
                ours = scanDouble(b);
                if (libcOk && ours && std::memcmp(&a, &b, sizeof a) != 0) detail = "double value";
                break;
            }
            case Op::Float: {
                float a = 0, b = 0;
                libcOk = std::fscanf(file, "%f", &a) == 1;
                ours = scanFloat(b);
                if (libcOk && ours && std::memcmp(&a, &b, sizeof a) != 0) detail = "float value";
                break;
            }
            case Op::StatementDouble:
            case Op::StatementFloat: {
                // The reading loop's way: the one-step path, else the general one.
                const bool single = ops[k] == Op::StatementFloat;
                double a = 0, b = 0;
                float f = 0;
                libcOk =
                    single ? std::fscanf(file, "%f", &f) == 1 : std::fscanf(file, "%lf", &a) == 1;
                if (single) a = f;
                FixedText text;
                ours = scanPlainNumber(single, b, text);
                if (ours) {
                    char printed[400];
                    std::snprintf(printed, sizeof printed, "%f", b);
                    if (std::string(text.text, text.length) != printed)
                        detail = "text " + std::string(printed);
                } else if (single) {
                    float g = 0;
                    ours = scanFloat(g);
                    b = g;
                } else {
                    ours = scanDouble(b);
                }
                if (libcOk && ours && std::memcmp(&a, &b, sizeof a) != 0) detail = "value";
                break;
            }
        }
        if (libcOk != ours)
            detail = libcOk ? "C library converted, scanner did not"
                            : "scanner converted, C library did not";
        if (detail.empty() && static_cast<std::uint64_t>(std::ftell(file)) != scanConsumed())
            detail = "bytes consumed " + std::to_string(std::ftell(file)) + " vs " +
                     std::to_string(scanConsumed());
        if (!detail.empty()) failure = "operation " + std::to_string(k) + ": " + detail;
    }
    std::fclose(file);
    scanClose();
}

void runDifferential(unsigned seed, int inputs) {
    std::mt19937 random(seed);
    for (int i = 0; i < inputs; ++i) {
        const std::string input = generateInput(random);
        std::vector<Op> ops;
        const int count = 1 + static_cast<int>(random() % 10);
        for (int k = 0; k < count; ++k) ops.push_back(static_cast<Op>(random() % 5));
        std::string failure;
        compareOne(input, ops, failure);
        if (!failure.empty()) {
            std::string ops_text;
            for (Op op : ops) ops_text += "sdfDF"[static_cast<int>(op)];
            std::string shown;
            for (unsigned char c : input) {
                char hex[8];
                if (c >= 32 && c < 127)
                    shown += static_cast<char>(c);
                else {
                    std::snprintf(hex, sizeof hex, "\\x%02x", c);
                    shown += hex;
                }
            }
            FAIL() << "seed " << seed << " input " << i << " [" << shown << "] ops " << ops_text
                   << ": " << failure;
        }
    }
}

}  // namespace

TEST(ScannerAgainstCLibrary, NumberGrammarPieces) { runDifferential(1, 4000); }
TEST(ScannerAgainstCLibrary, MixedTokensAndNumbers) { runDifferential(2, 4000); }
TEST(ScannerAgainstCLibrary, MoreSeeds) {
    for (unsigned seed = 10; seed < 16; ++seed) runDifferential(seed, 1000);
}

TEST(ScannerAgainstCLibrary, LongNumbersRoundLikeStrtod) {
    std::mt19937 random(7);
    for (int i = 0; i < 2000; ++i) {
        std::string text = (random() & 1) ? "-" : "";
        const int n = 1 + static_cast<int>(random() % 60);
        for (int d = 0; d < n; ++d) text += static_cast<char>('0' + random() % 10);
        text.insert(random() % text.size() + (text[0] == '-'), ".");
        text += "e" + std::to_string(static_cast<int>(random() % 80) - 40);
        std::string failure;
        compareOne(text, {Op::Double}, failure);
        ASSERT_TRUE(failure.empty()) << text << ": " << failure;
        compareOne(text, {Op::Float}, failure);
        ASSERT_TRUE(failure.empty()) << text << ": " << failure;
    }
}

// Plain decimals long enough to take the one-step path (it needs room ahead
// in the block), in both precisions, against fscanf and printf.
TEST(ScannerAgainstCLibrary, PlainDecimalsInOneStep) {
    std::mt19937 random(8);
    for (int i = 0; i < 20000; ++i) {
        std::string text = (random() % 3 == 0) ? "-" : (random() % 5 == 0) ? "+" : "";
        const int whole = static_cast<int>(random() % 12),
                  fraction = static_cast<int>(random() % 10);
        for (int d = 0; d < whole; ++d) text += static_cast<char>('0' + random() % 10);
        if (random() % 4) text += ".";
        for (int d = 0; d < fraction; ++d) text += static_cast<char>('0' + random() % 10);
        text += std::string(1 + random() % 3, ' ') + "Sphere                                    ";
        std::string failure;
        compareOne(text, {Op::StatementDouble, Op::Token}, failure);
        ASSERT_TRUE(failure.empty()) << text << ": " << failure;
        compareOne(text, {Op::StatementFloat, Op::Token}, failure);
        ASSERT_TRUE(failure.empty()) << text << ": " << failure;
    }
}
