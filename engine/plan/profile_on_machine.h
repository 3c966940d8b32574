#pragma once

#include <chrono>
#include <optional>
#include <vector>

#include "engine/catalogue/answers.h"
#include "engine/machine/machine.h"
#include "engine/plan/service_report.h"
#include "engine/catalogue/service_step.h"
#include "engine/machine/windows_version.h"

namespace quillora {

// A profile held against this machine's services: what it would change, what differs from it,
// and bringing the services to it.

// Each of the three reads a row alike: a service that is not installed; a step left alone (where
// this Windows needs its service, unless every row was asked for); one whose service is as its row
// leaves it; one that it would still change. Their totals describe the same rows.

// For every step: the service, its current mode and state, what its row sets (the mode, and
// whether the service is stopped or started), and whether that would change anything; and where
// the row changes a service that this Windows needs, that it does. Reads only.
ServiceReport statusReport(ServiceControl& services, const std::vector<ServiceStep>& steps, const Answers& answers,
                           const std::optional<WindowsVersion>& windows = std::nullopt);

// Every installed service that is not as its row leaves it (its mode, and stopped or running where
// the row stops or starts it), and every step left alone, which is not checked; incomplete if any
// other is not as its row leaves it.
ServiceReport verifyReport(ServiceControl& services, const std::vector<ServiceStep>& steps, const Answers& answers,
                           const std::optional<WindowsVersion>& windows = std::nullopt);

// Brings every installed service of the profile to the state its row leaves it in, as the
// program's commands for the row do: a row that stops its service stops it and then sets the
// mode, a manual row only sets the mode, an automatic row sets it and then starts the service. A
// service that running services depend on is left running (its new mode still applies). Each
// wait lasts at most timeout. A step left alone is not touched: its line says that this Windows
// needs the service. Complete only if every other installed service ended in its row's state.
ServiceReport applyProfile(ServiceControl& services, const std::vector<ServiceStep>& steps, const Answers& answers,
                           std::chrono::milliseconds timeout,
                           const std::optional<WindowsVersion>& windows = std::nullopt);

}  // namespace quillora
