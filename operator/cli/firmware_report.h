#pragma once
// A firmware list as a table for people and as JSON for scripts.
#include <nlohmann/json.hpp>
#include <string>

#include "operator/drivers/firmware_catalogue.h"

namespace quorvel::cli {

std::string FirmwareDeviceText(const FirmwareTarget& target);
nlohmann::json FirmwareListJson(const FirmwareList& list);
std::string FirmwareListTable(const FirmwareList& list);

}  // namespace quorvel::cli
