// quorvane-render --validate: the battery of checks, each in a fresh process, one line
// per check, a closing count, and a JSON report on request.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "host/validate/CheckLog.h"
#include "host/validate/Checks.h"

struct CheckOutcome {
    int number = 0;
    std::string name;
    CheckLog log;
    double seconds = 0.0;
};

// Runs every check; answers true when none failed.
bool runValidation(const ValidationSettings& settings, std::ostream& out, std::vector<CheckOutcome>& outcomes);

// The outcomes as a JSON document.
std::string validationReportJson(const ValidationSettings& settings, const std::vector<CheckOutcome>& outcomes);
