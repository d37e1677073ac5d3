// The settings cleaner's dialogue, played through with scripted input: the exact console bytes
// (code page 932, written here as hex so the test does not depend on the compiler's charset),
// when the key is deleted, and how the reader splits lines, however the input arrives.
#include "clean_dialogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

using tavik::AnswerLine;
using tavik::AnswerReader;

// "レジストリのキー : 'HKEY_CURRENT_USER\Software\Halvorn\Tavik'を削除します。" CR LF
// "よろしいですか？[Y/N]" CR LF
const std::string kHeader =
    "\x83\x8c\x83\x57\x83\x58\x83\x67\x83\x8a\x82\xcc\x83\x4c\x81\x5b"
    " : 'HKEY_CURRENT_USER\\Software\\Halvorn\\Tavik'"
    "\x82\xf0\x8d\xed\x8f\x9c\x82\xb5\x82\xdc\x82\xb7\x81\x42\r\n"
    "\x82\xe6\x82\xeb\x82\xb5\x82\xa2\x82\xc5\x82\xb7\x82\xa9\x81\x48[Y/N]\r\n";
const std::string kPrompt = "? ";
// "入力データの個数が多すぎます" and a bare LF
const std::string kTooMany =
    "\x93\xfc\x97\xcd\x83\x66\x81\x5b\x83\x5e\x82\xcc\x8c\xc2\x90\x94\x82\xaa\x91\xbd\x82\xb7"
    "\x82\xac\x82\xdc\x82\xb7\n";
// "削除しています..." CR LF
const std::string kDeleting = "\x8d\xed\x8f\x9c\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7...\r\n";
// "削除に成功しました。" CR LF
const std::string kSucceeded =
    "\x8d\xed\x8f\x9c\x82\xc9\x90\xac\x8c\xf7\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\r\n";
// "削除に失敗しました。" CR LF
const std::string kFailed =
    "\x8d\xed\x8f\x9c\x82\xc9\x8e\xb8\x94\x73\x82\xb5\x82\xdc\x82\xb5\x82\xbd\x81\x42\r\n";
// "終了します。エンターキーを押してください。" CR LF, then the last prompt
const std::string kClosing =
    "\x8f\x49\x97\xb9\x82\xb5\x82\xdc\x82\xb7\x81\x42\x83\x47\x83\x93\x83\x5e\x81\x5b\x83\x4c"
    "\x81\x5b\x82\xf0\x89\x9f\x82\xb5\x82\xc4\x82\xad\x82\xbe\x82\xb3\x82\xa2\x81\x42\r\n? ";

// Input handed out `chunk` bytes per read; once the end was reported, a further read is a
// fault (on a console it would wait for the user again).
struct ScriptedInput {
    std::string bytes;
    std::size_t chunk;
    std::size_t at = 0;
    bool ended = false;

    std::size_t Read(char* buffer, std::size_t size) {
        EXPECT_FALSE(ended) << "read again after the end of the input";
        const std::size_t n = std::min({chunk, size, bytes.size() - at});
        bytes.copy(buffer, n, at);
        at += n;
        ended = n == 0;
        return n;
    }
};

struct Played {
    std::string output;
    int deletions = 0;
    std::size_t consumed = 0;
};

Played Play(const std::string& input, bool deleteSucceeds, std::size_t chunk) {
    ScriptedInput in{input, chunk};
    Played run;
    tavik::CleanConsole console;
    console.read = [&in](char* buffer, std::size_t size) { return in.Read(buffer, size); };
    console.write = [&run](const char* bytes, std::size_t size) { run.output.append(bytes, size); };
    console.deleteKey = [&run, deleteSucceeds] {
        ++run.deletions;
        return deleteSucceeds;
    };
    tavik::RunCleanDialogue(console);
    run.consumed = in.at;
    return run;
}

std::string Repeat(char c, std::size_t n) { return std::string(n, c); }

struct DialogueCase {
    const char* name;
    std::string input;
    bool deleteSucceeds;
    int deletions;
    std::string output;  // after the header
};

TEST(CleanDialogue, AnswersGiveTheExactConsoleBytes) {
    const std::string p = kPrompt;
    const std::vector<DialogueCase> cases = {
        {"n", "n\r\n\r\n", true, 0, p + kClosing},
        {"N with LF line ends", "N\n\n", true, 0, p + kClosing},
        {"y, key deleted", "y\r\n\r\n", true, 1, p + kDeleting + kSucceeded + kClosing},
        {"Y, deletion refused", "Y\r\n\r\n", false, 1, p + kDeleting + kFailed + kClosing},
        {"yes is asked again", "yes\r\ny\r\n\r\n", true, 1,
         p + p + kDeleting + kSucceeded + kClosing},
        {"y,n has too many items", "y,n\r\nn\r\n\r\n", true, 0, p + kTooMany + p + kClosing},
        {"a lone comma too", ",\r\ny\r\n\r\n", true, 1,
         p + kTooMany + p + kDeleting + kSucceeded + kClosing},
        {"empty lines are asked again", "\r\n\n\r\nn\r\n\r\n", true, 0, p + p + p + p + kClosing},
        {"spaces are not ignored", " y\r\ny \r\nn\r\n", true, 0, p + p + p + kClosing},
        {"full-width Y is not Y", "\x82\x78\r\nn\r\n", true, 0, p + p + kClosing},
        {"a CR inside the line is kept", "y\rn\r\nn\r\n", true, 0, p + p + kClosing},
        {"commas in the closing line are ignored", "n\r\na,b\r\n", true, 0, p + kClosing},
        // The end of the input before an answer is a refusal, and the program ends after the
        // closing prompt instead of waiting.
        {"no input at all", "", true, 0, p + kClosing},
        {"input ends after a refused answer", "yes\r\n", true, 0, p + p + kClosing},
        {"input ends after a comma answer", "y,n", true, 0, p + kTooMany + p + kClosing},
        {"last line without a line end", "y", true, 1, p + kDeleting + kSucceeded + kClosing},
        {"CR just before the end", "y\r", true, 1, p + kDeleting + kSucceeded + kClosing},
        // A line longer than the kept bytes is one answer: its tail must not become a second one.
        {"overlong line ending in y", Repeat('x', 1024) + "y\r\nn\r\n", true, 0, p + p + kClosing},
        {"overlong line ending in y and LF", Repeat('x', 5000) + "y\nn\n", true, 0,
         p + p + kClosing},
        {"comma past the kept bytes", Repeat('x', 1100) + ",\r\nn\r\n", true, 0,
         p + kTooMany + p + kClosing},
        {"a full-length line is an ordinary answer", Repeat('x', 1024) + "\r\nN\r\n", true, 0,
         p + p + kClosing},
    };
    for (const DialogueCase& c : cases) {
        // Pipes hand over whatever they hold: a CR LF split between two reads must not matter.
        for (std::size_t chunk : {std::size_t{1}, std::size_t{2}, std::size_t{4096}}) {
            SCOPED_TRACE(std::string(c.name) + ", " + std::to_string(chunk) + "-byte reads");
            const Played run = Play(c.input, c.deleteSucceeds, chunk);
            EXPECT_EQ(run.output, kHeader + c.output);
            EXPECT_EQ(run.deletions, c.deletions);
        }
    }
}

TEST(CleanDialogue, StopsReadingAfterTheClosingEnter) {
    // The closing prompt reads exactly one line; what follows belongs to whoever reads next.
    const Played run = Play("n\r\n\r\nleft over\r\n", true, 1);
    EXPECT_EQ(run.consumed, 5u);
}

struct ReaderCase {
    const char* name;
    std::string input;
    std::vector<std::string> lines;
    std::vector<bool> overlong;
    std::vector<bool> comma;
};

TEST(AnswerReader, SplitsLines) {
    const std::vector<ReaderCase> cases = {
        {"one empty line", "\r\n", {""}, {false}, {false}},
        {"only the CR before LF is a line end",
         "\r\r\n\r",
         {"\r", ""},
         {false, false},
         {false, false}},
        {"full length", Repeat('x', 1024) + "\n", {Repeat('x', 1024)}, {false}, {false}},
        {"one byte too many",
         Repeat('x', 1025) + "\r\nz",
         {Repeat('x', 1024), "z"},
         {true, false},
         {false, false}},
        {"double-byte text with a backslash trail byte",
         "\x83\x5c,\n",
         {"\x83\x5c,"},
         {false},
         {true}},
    };
    for (const ReaderCase& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedInput in{c.input, 7};
        AnswerReader reader(
            [&in](char* buffer, std::size_t size) { return in.Read(buffer, size); });
        AnswerLine line;
        for (std::size_t i = 0; i < c.lines.size(); ++i) {
            ASSERT_TRUE(reader.Next(line)) << "line " << i;
            EXPECT_EQ(std::string(line.text, line.length), c.lines[i]) << "line " << i;
            EXPECT_EQ(line.overlong, c.overlong[i]) << "line " << i;
            EXPECT_EQ(line.comma, c.comma[i]) << "line " << i;
        }
        EXPECT_FALSE(reader.Next(line));
        EXPECT_FALSE(reader.Next(line)) << "the end stays the end";
    }
}

}  // namespace
