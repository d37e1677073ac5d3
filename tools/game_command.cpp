#include "game_command.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <memory>

#include "board_functions.h"
#include "file_io.h"
#include "game_file.h"
#include "position_text.h"
#include "record_export.h"
#include "texts.h"

namespace tavik_tools {

namespace {

bool ReadBytes(const std::string& path, std::vector<uint8_t>& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

// Loads and checks a game file; prints the reason on stderr when it is refused.
int Load(const std::string& path, tavik::GameRecord& record, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!ReadBytes(path, bytes)) {
        error = "cannot read '" + path + "'";
        return 2;
    }
    const tavik::GameFileCheck check = tavik::DecodeGameFile(bytes.data(), bytes.size(), record);
    if (check.error != tavik::GameFileError::kNone) {
        error = path + ": " + tavik::DescribeGameFileCheck(check);
        return 1;
    }
    return 0;
}

int Show(const tavik::GameRecord& record) {
    std::printf("black  %s\nwhite  %s\n", record.blackName, record.whiteName);
    const int count = tavik::RecordedMoves(record);
    std::string transcript;
    for (int i = 0; i < count; ++i) transcript += tavik::SquareName(record.moves[i].square);
    std::printf("moves  %d  %s\n", count, transcript.c_str());
    for (int i = 0; i < count; ++i) {
        const tavik::MoveEntry& m = record.moves[i];
        const int32_t side = m.side, square = m.square, value = m.value, time = m.thinkTime,
                      nodes = m.nodes;
        std::printf("%3d %s %s  value %s (%d)  %d ms  %d nodes\n", i + 1, side == 1 ? "X" : "O",
                    tavik::SquareName(square).c_str(), ValueText(value).c_str(), value, time,
                    nodes);
    }
    return 0;
}

int Make(const std::vector<std::string>& args, std::string& error) {
    if (args.size() < 3) {
        error = "usage: tavik-cli game make TRANSCRIPT FILE [--black NAME] [--white NAME]";
        return 2;
    }
    // the moves first: the reader clears the record it fills, names included
    auto record = std::make_unique<tavik::GameRecord>();
    if (std::string problem = ReadTranscript(args[1], *record); !problem.empty()) {
        error = problem;
        return 2;
    }
    for (size_t i = 3; i < args.size(); i += 2) {
        if (i + 1 >= args.size() || (args[i] != "--black" && args[i] != "--white")) {
            error = "unexpected argument '" + args[i] + "'";
            return 2;
        }
        if (args[i + 1].size() >= static_cast<size_t>(tavik::kNameBytes)) {
            error = "a name holds at most 1024 bytes";
            return 2;
        }
        std::strcpy(args[i] == "--black" ? record->blackName : record->whiteName,
                    args[i + 1].c_str());
    }
    const std::vector<uint8_t> file = tavik::EncodeGameFile(*record);
    if (tavik::WriteFileReplacing(args[2], file.data(), file.size()) != tavik::FileError::kNone) {
        error = "cannot write '" + args[2] + "'";
        return 2;
    }
    std::printf("wrote %s: %d moves\n", args[2].c_str(), tavik::RecordedMoves(*record));
    return 0;
}

int Export(const std::vector<std::string>& args, std::string& error) {
    // game export FILE OUTPUT [--program-dir DIR]
    if (args.size() != 3 && !(args.size() == 5 && args[3] == "--program-dir")) {
        error = "usage: tavik-cli game export FILE OUTPUT [--program-dir DIR]";
        return 2;
    }
    auto record = std::make_unique<tavik::GameRecord>();
    if (const int status = Load(args[1], *record, error); status != 0) return status;
    std::string directory = args.size() == 5 ? args[4] : ".";
    if (directory.back() != '/' && directory.back() != '\\') directory += '/';
    const std::time_t now = std::time(nullptr);
    const std::tm local = *std::localtime(&now);
    const tavik::LocalTime time{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                                local.tm_hour,        local.tm_min,     local.tm_sec};
    switch (tavik::ExportRecordToFile(args[2], directory, *record, time)) {
        case tavik::ExportError::kNone:
            std::printf("wrote %s\n", args[2].c_str());
            return 0;
        case tavik::ExportError::kTemplate:
            error = "cannot read the template " + directory + tavik::TemplateFor(args[2]);
            return 2;
        case tavik::ExportError::kOutput:
            break;
    }
    error = "cannot write '" + args[2] + "'";
    return 2;
}

}  // namespace

int GameCommand(const std::vector<std::string>& args, std::string& error) {
    const std::string sub = args.empty() ? "" : args[0];
    if (sub == "make") return Make(args, error);
    if (sub == "export") return Export(args, error);
    if ((sub == "show" || sub == "validate") && args.size() == 2) {
        auto record = std::make_unique<tavik::GameRecord>();
        const int status = Load(args[1], *record, error);
        if (status != 0) return status;
        if (sub == "validate") {
            std::printf("ok\n");
            return 0;
        }
        return Show(*record);
    }
    error =
        "usage: tavik-cli game show|validate FILE, game make TRANSCRIPT FILE, "
        "game export FILE OUTPUT [--program-dir DIR]";
    return 2;
}

}  // namespace tavik_tools
