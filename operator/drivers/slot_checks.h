#pragma once
// Checks of an amplifier selection that run before any connection: the selection is not empty,
// every slot holds a module, every module's type offers the operation. A failed check says so,
// naming the slots and their types, and returns the result that tells the front end why
// (kNothingToDo or kNoDevice); nothing is sent.
#include <QString>
#include <functional>
#include <vector>

#include "operator/drivers/driver_context.h"

namespace quorvel {

// The scan found a module in the slot.
bool HoldsModule(const SlotRecord& record);

// "slot 1 (RA51)", "slots 1 (RA51), 9 (RA56)"
QString SlotsWithTypes(const DeviceInventory& inventory, const std::vector<int>& amplifierSlots);

// 0 when the selection is not empty and every slot holds a module.
int CheckSlotsHoldModules(DriverContext& context, const QString& operation,
                          const std::vector<int>& amplifierSlots);

// 0 when `offers` holds for every selected module; else the others are named with `offeredBy`
// (which types do offer the operation).
int CheckTypesOffer(DriverContext& context, const QString& operation,
                    const std::vector<int>& amplifierSlots,
                    const std::function<bool(const SlotRecord&)>& offers,
                    const QString& offeredBy);

// Shows a refusal made before anything was sent, marks the current phase failed and returns
// `result`.
int RefuseBeforeSending(DriverContext& context, const QString& text, int result);

}  // namespace quorvel
