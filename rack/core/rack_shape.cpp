#include "rack/core/rack_shape.h"

#include <map>
#include <stdexcept>
#include <string>

namespace rack {
namespace {

using nlohmann::json;

enum class Shape { Text, WholeNumber, YesNo, Object, List, ObjectOrNull, WholeNumberOrList };

const std::map<std::string, Shape>& knownFields() {
    static const std::map<std::string, Shape> fields = {
        {"kind", Shape::Text},
        {"identity", Shape::Text},
        {"hardwareRevision", Shape::Text},
        {"version", Shape::Text},
        {"kernelRevision", Shape::Text},
        {"fileSystemRevision", Shape::Text},
        {"loaderBiosRevision", Shape::Text},
        {"baudSetting", Shape::Text},
        {"flash", Shape::Text},
        {"serialNumber", Shape::Text},
        {"model", Shape::Text},
        {"controller", Shape::Text},
        {"suffix", Shape::Text},
        {"mode", Shape::Text},
        {"loader1Version", Shape::Text},
        {"loader2Version", Shape::Text},
        {"layer", Shape::Text},
        {"pattern", Shape::Text},
        {"action", Shape::Text},
        {"program", Shape::Text},
        {"name", Shape::Text},
        {"applicationFile", Shape::Text},
        {"generation", Shape::Text},
        {"moduleAnswers", Shape::Text},
        {"slot", Shape::WholeNumber},
        {"firmwareType", Shape::WholeNumber},
        {"moduleCode", Shape::WholeNumber},
        {"amtNumber", Shape::WholeNumber},
        {"subChannels", Shape::WholeNumber},
        {"resetMs", Shape::WholeNumber},
        {"restartMs", Shape::WholeNumber},
        {"stageMs", Shape::WholeNumber},
        {"sectorMs", Shape::WholeNumber},
        {"blockMs", Shape::WholeNumber},
        {"prepareMs", Shape::WholeNumber},
        {"uncompressMs", Shape::WholeNumber},
        {"parameterInitMs", Shape::WholeNumber},
        {"occurrence", Shape::WholeNumber},
        {"delayMs", Shape::WholeNumber},
        {"times", Shape::WholeNumber},
        {"id", Shape::WholeNumber},
        {"type", Shape::WholeNumber},
        {"serial", Shape::WholeNumber},
        {"entry", Shape::WholeNumber},
        {"bootstrapIdentification", Shape::WholeNumber},
        {"subChannelsFixed", Shape::YesNo},
        {"externalFlash", Shape::YesNo},
        {"canDatabase", Shape::YesNo},
        {"bootstrap", Shape::YesNo},
        {"passThrough", Shape::YesNo},
        {"bootLoader", Shape::YesNo},
        {"restartVector", Shape::YesNo},
        {"refuseDownloadMode", Shape::YesNo},
        {"timing", Shape::Object},
        {"processor", Shape::Object},
        {"panel", Shape::Object},
        {"settings", Shape::Object},
        {"slots", Shape::List},
        {"faults", Shape::List},
        {"nodes", Shape::List},
        {"refusedBlocks", Shape::List},
        {"application", Shape::ObjectOrNull},
        {"loader1", Shape::ObjectOrNull},
        {"boards", Shape::WholeNumberOrList},
    };
    return fields;
}

bool fits(const json& value, Shape shape) {
    switch (shape) {
        case Shape::Text:
            return value.is_string();
        case Shape::WholeNumber:
            return value.is_number_integer();
        case Shape::YesNo:
            return value.is_boolean();
        case Shape::Object:
            return value.is_object();
        case Shape::List:
            return value.is_array();
        case Shape::ObjectOrNull:
            return value.is_object() || value.is_null();
        case Shape::WholeNumberOrList:
            return value.is_number_integer() || value.is_array();
    }
    return false;
}

std::string expected(Shape shape) {
    switch (shape) {
        case Shape::Text:
            return "a text in double quotes";
        case Shape::WholeNumber:
            return "a whole number";
        case Shape::YesNo:
            return "true or false";
        case Shape::Object:
            return "an object { ... }";
        case Shape::List:
            return "a list [ ... ]";
        case Shape::ObjectOrNull:
            return "an object { ... } or null";
        case Shape::WholeNumberOrList:
            return "a whole number or a list [ ... ]";
    }
    return {};
}

std::string found(const json& value) {
    const std::string text = value.dump();
    const std::string shown = text.size() > 40 ? text.substr(0, 37) + "..." : text;
    return std::string(value.type_name()) + " " + shown;
}

void checkValue(const json& value, const std::string& path, Shape shape);

void checkObject(const json& object, const std::string& path) {
    for (const auto& [key, value] : object.items()) {
        const auto known = knownFields().find(key);
        if (known == knownFields().end()) continue;  // the components' own settings
        checkValue(value, path.empty() ? key : path + "." + key, known->second);
    }
}

void checkValue(const json& value, const std::string& path, Shape shape) {
    if (!fits(value, shape)) {
        throw std::invalid_argument(path + " should hold " + expected(shape) + ", not " +
                                    found(value));
    }
    if (value.is_object()) {
        checkObject(value, path);
        return;
    }
    if (!value.is_array() || shape != Shape::List) return;
    const Shape entryShape = path.ends_with("refusedBlocks") ? Shape::WholeNumber : Shape::Object;
    size_t index = 0;
    for (const auto& entry : value) {
        checkValue(entry, path + "[" + std::to_string(index++) + "]", entryShape);
    }
}

void requireKeys(const json& description) {
    size_t index = 0;
    for (const auto& slot : description.value("slots", json::array())) {
        const std::string place = "slots[" + std::to_string(index++) + "]";
        for (const char* key : {"slot", "kind"}) {
            if (!slot.contains(key)) throw std::invalid_argument(place + " needs \"" + key + "\"");
        }
    }
    if (description.contains("panel") && !description["panel"].contains("kind")) {
        throw std::invalid_argument("panel needs \"kind\"");
    }
}

}  // namespace

void checkRackShape(const json& description) {
    if (!description.is_object()) {
        throw std::invalid_argument("the rack description should be an object { ... }, not " +
                                    found(description));
    }
    checkObject(description, "");
    requireKeys(description);
}

}  // namespace rack
