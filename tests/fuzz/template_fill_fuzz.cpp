// Templates are files beside the program that anyone can edit, and names come from the
// settings dialog, so both reach the template fill as arbitrary bytes: names without their
// terminator, placeholders cut in half, placeholders inside names. The fuzzer checks memory
// safety and that a template without any placeholder passes through unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "game_record.h"
#include "paths.h"
#include "record_export.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    static tavik::GameRecord record;
    std::memset(&record, 0, sizeof record);
    // Names fill their whole field at times, so the terminator may be missing.
    std::string black = input.ConsumeBytesAsString(input.ConsumeIntegralInRange<size_t>(0, 1025));
    std::string white = input.ConsumeBytesAsString(input.ConsumeIntegralInRange<size_t>(0, 1025));
    std::memcpy(record.blackName, black.data(), black.size());
    std::memcpy(record.whiteName, white.data(), white.size());
    // Moves: any cells and sides; the export shows what the record holds, legal or not.
    int moves = input.ConsumeIntegralInRange<int>(0, 60);
    for (int i = 0; i < moves; ++i) {
        record.moves[i].side = input.ConsumeBool() ? 1 : -1;
        record.moves[i].square = input.ConsumeIntegralInRange<int32_t>(10, 80);
        record.moves[i].value = input.ConsumeIntegral<int32_t>();
    }
    tavik::LocalTime time{
        input.ConsumeIntegralInRange<int>(1601, 30827), input.ConsumeIntegralInRange<int>(1, 12),
        input.ConsumeIntegralInRange<int>(1, 31),       input.ConsumeIntegralInRange<int>(0, 23),
        input.ConsumeIntegralInRange<int>(0, 59),       input.ConsumeIntegralInRange<int>(0, 59)};
    std::string text = input.ConsumeRemainingBytesAsString();

    std::string filled = tavik::FillTemplate(text, record, time);
    if (text.find('$') == std::string::npos && filled != text) std::abort();
    (void)tavik::UpperExtension(text);
    (void)tavik::TemplateFor(text);
    return 0;
}
