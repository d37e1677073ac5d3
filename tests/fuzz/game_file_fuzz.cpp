// Any bytes at all reach the game-file reader when a user opens a file. Besides memory safety
// (the fuzzer runs under ASan and UBSan) this checks what the window relies on: a refused file
// leaves the record exactly as it was, and an accepted one writes back to the same body.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "game_file.h"
#include "game_record.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static tavik::GameRecord record;
    std::memset(&record, 0x5A, sizeof record);
    tavik::GameRecord before = record;

    tavik::GameFileCheck check = tavik::DecodeGameFile(data, size, record);
    if (check.error != tavik::GameFileError::kNone) {
        if (std::memcmp(&before, &record, sizeof record) != 0)
            std::abort();  // refused, yet touched
        (void)tavik::DescribeGameFileCheck(check);
        return 0;
    }
    std::vector<uint8_t> again = tavik::EncodeGameFile(record);
    if (again.size() != size) std::abort();
    // The header is a notice, written anew; the record's image must come back byte for byte.
    if (std::memcmp(again.data() + tavik::kGameFileHeaderBytes, data + tavik::kGameFileHeaderBytes,
                    size - tavik::kGameFileHeaderBytes) != 0)
        std::abort();
    BoardState board;
    tavik::ReplayMoves(record, tavik::RecordedMoves(record), board);
    return 0;
}
