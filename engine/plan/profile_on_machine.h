#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "engine/machine/machine.h"
#include "engine/machine/windows_version.h"
#include "engine/plan/plan.h"
#include "engine/plan/service_report.h"

namespace quillora {

// A profile's plan on this machine told as the companion's reports, and carried out. Each reads a
// row by its fate, in the plan's words, and counts the rows alike.

// For every row: the service, its current mode and state, what its row asks, and its fate; where
// the row would change a service that this Windows needs, that it does. Reads only.
ServiceReport statusReport(const std::vector<PlannedRow>& rows, const std::optional<WindowsVersion>& windows);

// Every installed service that the plan would still change, and every row left alone by choice
// or as needed, which is not checked; incomplete if any would still change.
ServiceReport verifyReport(const std::vector<PlannedRow>& rows, const std::optional<WindowsVersion>& windows);

// Brings every installed service of the plan to the state its row leaves it in, as the program's
// commands for the row do: a row that stops its service stops it and then sets the mode, a manual
// row only sets the mode, an automatic row sets it and then starts the service. A service that
// running services depend on is left running (its new mode still applies). Each wait lasts at most
// timeout. A row left alone is not touched. Complete only if every other installed service ended
// in its row's state. refused, where given, gets each service Windows refused, and why. reaching,
// where given, is told of each row before it is acted on, and stops the apply there where it
// answers false. The report has a line a service and no totals: those are the judged result's.
ServiceReport applyProfile(ServiceControl& services, const std::vector<PlannedRow>& rows,
                           std::chrono::milliseconds timeout, const std::optional<WindowsVersion>& windows,
                           std::vector<std::pair<std::wstring, PlatformFailure>>* refused = nullptr,
                           const std::function<bool(const PlannedRow&)>& reaching = nullptr);

}  // namespace quillora
