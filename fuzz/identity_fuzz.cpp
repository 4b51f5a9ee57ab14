// One identity parser of the scan on any answer text (processor, panel, amplifier application or
// amplifier loader, chosen by IDENTITY_PARSER at build time): never crashes.
#include <fuzzer/FuzzedDataProvider.h>

#include "fuzz/operator_inputs.h"
#include "operator/shell/identity_parsers.h"

namespace {

QString text(FuzzedDataProvider& input) {
    return QString::fromLatin1(QByteArray::fromStdString(input.ConsumeRandomLengthString(200)));
}

// A few rows that the fuzzed answers can match, so the parsers get past the table look-ups.
quorvel::ConfigTables tables() {
    quorvel::ConfigTables t;
    t.amplifiers = {{3001, 0x55, "WS", 0x10000, "RA51", "WR"}, {3002, 0x10, "RA", 0xC00000, "RA56", ""}};
    t.processors = {{"KX43", "A01", "-", "KX43"}, {"KX33", "-", "B02", "KX33"}};
    t.controllers = quorvel::BuiltinControllerTable();
    return t;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const quorvel::ConfigTables table = tables();
    FuzzedDataProvider input(data, size);
#if IDENTITY_PARSER == 0
    quorvel::ProcessorRecord record;
    const QString identity = text(input), hardware = text(input), revisions = text(input);
    const QString version = text(input);
    const bool answers = input.ConsumeBool();
    quorvel::ParseProcessorIdentity(record, identity, hardware, revisions, table.processors,
                                    [&]() -> std::optional<QString> { return answers ? std::optional(version) : std::nullopt; });
#elif IDENTITY_PARSER == 1
    quorvel::PanelRecord record;
    const QString startMode = input.ConsumeBool() ? "0" : "1";
    quorvel::ParsePanelIdentity(record, text(input), startMode);
#elif IDENTITY_PARSER == 2
    quorvel::SlotRecord record;
    const QString identity = text(input);
    quorvel::ParseSlotIdentity(record, identity, text(input), table);
#else
    quorvel::SlotRecord record;
    quorvel::ParseLoaderIdentity(record, text(input), table);
#endif
    return 0;
}
