#include "operator/shell/identity_parsers.h"

#include <QStringList>

#include "operator/shell/text_fields.h"

namespace quorvel {
namespace {

// The identity cut at its first CR when that lies behind the fifth character.
QString cutIdentity(const QString& identity) {
    const qsizetype cr = identity.indexOf('\r');
    return cr >= 5 ? identity.left(cr) : identity;
}

QString dashWhenBlank(const QString& text) {
    return text.isEmpty() || text == "    " || text == "?" ? QString("-") : text;
}

// One part of the processor revisions text: "-" when blank, else without its opening
// quotation mark and cut before the closing one.
QString revisionPart(const QString& part) {
    if (part.isEmpty() || part == "    ") return "-";
    const QString text = part.mid(1);
    const qsizetype quote = text.indexOf('"');
    return quote < 0 ? text : text.left(quote);
}

bool revisionInRange(const ProcessorRow& row, const QString& revision) {
    const bool aboveLowest = row.lowestRevision == "-" || revision >= row.lowestRevision;
    const bool belowHighest = row.highestRevision == "-" || revision <= row.highestRevision;
    return aboveLowest && belowHighest;
}

void parseBootLoaderIdentity(ProcessorRecord& r) {
    const qsizetype boot = r.Identity.indexOf("Bootstraploader");
    const qsizetype comma = r.Identity.indexOf(',', boot);
    const QString whole = r.Identity;
    if (comma >= 0) {
        r.SoftwareVersion = whole.mid(comma + 1, 4);
        r.Identity = whole.left(comma);
    }
    const qsizetype dash = whole.indexOf('-');
    const qsizetype typeEnd = dash < 0 ? -1 : whole.indexOf("-Boot", dash + 1);
    r.ProcessorType = typeEnd < 0 ? QString() : whole.mid(dash + 1, typeEnd - dash - 1);
    r.LoaderRevision = r.SoftwareVersion;
}

void parseApplicationIdentity(ProcessorRecord& r, const QString& hardwareRevision,
                              const std::vector<ProcessorRow>& table,
                              const VersionQuery& checkVersion) {
    const QStringList fields = r.Identity.split(',');
    if (fields.size() > 2) r.VersionSuffix = fields[2];
    r.SoftwareVersion = fields.value(3).left(5);
    r.LoaderRevision = checkVersion().value_or("?").left(4);
    r.InBootLoader = false;
    r.ProcessorType = LookUpProcessorType(table, fields.value(1), hardwareRevision);
}

// The controller model of an amplifier identity: between the "-" behind the first comma and
// the next comma; " " without such a dash.
QString controllerModel(const QString& identity) {
    const qsizetype comma = identity.indexOf(',');
    const qsizetype dash = comma < 0 ? -1 : identity.indexOf('-', comma + 1);
    if (dash < 0) return " ";
    const qsizetype end = identity.indexOf(',', dash + 1);
    return identity.mid(dash + 1, end < 0 ? -1 : end - dash - 1);
}

void applyControllerModel(SlotRecord& r, const QString& model,
                          const std::vector<ControllerRow>& controllers) {
    r.ControllerKind = 0;
    for (const auto& row : controllers) {
        if (row.model == model) {
            r.ControllerKind = row.controllerKind;
            break;
        }
    }
    static const QStringList letterB = {"WS004", "WS049", "WS681"};
    static const QStringList letterC = {"WS49A", "WS004A", "WS006", "WS081"};
    if (letterB.contains(model)) r.IdentifiedType += "B";
    if (letterC.contains(model)) r.IdentifiedType += "C";
    if (r.ControllerKind == 4) r.IdentifiedType += "B";
}

void parseSlot(SlotRecord& r, const QString& identity, const ConfigTables& tables) {
    if (identity == kNotDetected) {
        r.ControllerKind = 0;
        return;
    }
    if (!identity.contains("TX")) {
        r.Identity = kNotDetected;
        r.ControllerKind = 0;
        return;
    }
    applyControllerModel(r, controllerModel(identity), tables.controllers);
    const QStringList fields = identity.split(',');
    if (fields.size() > 2) r.VersionSuffix = fields[2];
    if (fields.size() > 3) r.SoftwareVersion = fields[3].left(5);
    DeriveSlotType(r, tables.amplifiers);
}

void startSlot(SlotRecord& r) {
    r.Present = true;
    r.Reserved = false;
    r.TypeAssignedByHand = false;
    r.SoftwareVersion = "P0.0";
    r.VersionSuffix = "0";
}

}  // namespace

QString LookUpProcessorType(const std::vector<ProcessorRow>& table, const QString& model,
                            const QString& hardwareRevision) {
    for (const auto& row : table) {
        if (row.model == model && revisionInRange(row, hardwareRevision)) return row.processorType;
    }
    return "not supported";
}

void ParseProcessorIdentity(ProcessorRecord& r, const QString& identity,
                            const QString& hardwareRevision, const QString& revisions,
                            const std::vector<ProcessorRow>& table,
                            const VersionQuery& checkVersion) {
    r = ProcessorRecord{};  // nothing of an earlier answer may remain
    r.InBootLoader = true;
    r.VersionSuffix = "0";
    r.Identity = cutIdentity(identity);
    const QString revision = StripQuotedAnswer(hardwareRevision);
    r.HardwareRevision = dashWhenBlank(revision);

    if (r.Identity.contains("Bootstraploader")) {
        parseBootLoaderIdentity(r);
    } else if (r.Identity.contains("TX")) {
        parseApplicationIdentity(r, revision, table, checkVersion);
    } else {
        r.ProcessorType.clear();
        r.InBootLoader = false;
        r.SoftwareVersion.clear();
        r.LoaderRevision.clear();
        r.Identity = kNotDetected;
    }
    if (r.LoaderRevision.startsWith('?')) r.LoaderRevision = "0.00";

    QString rest = revisions;
    r.KernelRevision = revisionPart(NextToken(rest, "#"));
    r.FileSystemRevision = revisionPart(NextToken(rest, "#"));
    r.LoaderBiosRevision = revisionPart(NextToken(rest, "#"));
}

void ParsePanelIdentity(PanelRecord& r, const QString& identity, const QString& startMode) {
    r.Present = true;
    r.Identity = identity;
    r.PanelType.clear();
    r.SoftwareVersion = "0.00";
    r.HardwareRevision.clear();
    r.SerialNumber.clear();

    if (identity != kNotDetected && identity.contains("TX")) {
        const QStringList fields = identity.split(',');
        r.PanelType = fields.value(1);
        const qsizetype secondComma = identity.indexOf(',', identity.indexOf(',') + 1);
        const qsizetype p = secondComma < 0 ? -1 : identity.indexOf('P', secondComma + 1);
        if (p >= 0) {
            r.SoftwareVersion = identity.mid(p + 1, 4);
            r.Identity = identity.left(p + 5);
            // What follows the version: hardware revision and serial number.
            QStringList tail;
            for (const QString& field : identity.mid(p + 5).split(',')) {
                const QString value = field.trimmed().remove('"');
                if (!value.isEmpty()) tail << value;
            }
            r.HardwareRevision = tail.value(0);
            r.SerialNumber = tail.value(1);
        }
    }
    if (r.PanelType == "DV43") r.PanelType = "DV43A";
    if (r.HardwareRevision >= "2.00") r.PanelType = r.PanelType.left(4) + "B";
    if (startMode == "A") r.PanelType = r.PanelType.left(4);
    if (r.PanelType == "DVXXX" || r.SoftwareVersion == "0.00") {
        r.PanelType = "DV";
        r.Identity = kNotDetected;
        r.SoftwareVersion = "0.00";
    }
}

void ParseSlotIdentity(SlotRecord& r, const QString& identity, const QString& hardwareRevision,
                       const ConfigTables& tables) {
    startSlot(r);
    r.HardwareRevision = StripQuotedAnswer(hardwareRevision);
    parseSlot(r, identity, tables);
}

void ParseLoaderIdentity(SlotRecord& r, const QString& identity, const ConfigTables& tables) {
    startSlot(r);
    r.HardwareRevision = " ";
    parseSlot(r, identity, tables);
}

void AppendF72Marker(SlotRecord& r, const QString& startMode) {
    static const QString marker = "-F72";
    if (!startMode.isEmpty() || r.VersionSuffix != "F72") return;
    if (r.TypePrefix.isEmpty() || r.TypePrefix.endsWith(marker)) return;
    r.TypePrefix += marker;
}

void DeriveSlotType(SlotRecord& r, const std::vector<AmplifierRow>& table) {
    const AmplifierRow* match = nullptr;
    for (const auto& row : table) {
        const bool amtMatches = r.AmtNumber == 0 || row.amtNumber == r.AmtNumber;
        if (amtMatches && row.typeName == r.IdentifiedType) {
            match = &row;
            break;
        }
    }
    if (!match) return;
    if (r.AmtNumber == 0) r.AmtNumber = match->amtNumber;
    r.AmpCode = match->ampCode;
    r.TypePrefix = match->typePrefix;
    r.StartAddress = match->startAddress;
    r.SecondTypePrefix = match->secondTypePrefix;
}

}  // namespace quorvel
