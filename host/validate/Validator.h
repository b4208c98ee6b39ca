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
    std::string printed;  // by the plug-in, on standard output and error
};

enum class ValidationDisplay {
    Full,          // every check and its findings
    Verbose,       // and what the plug-in printed during each
    FailuresOnly,  // the failed checks and the closing count
    OneLine,       // the plug-in, the counts and the failed checks' names
};

// Runs every check; answers true when none failed. Throws the load's own HostError when
// the plug-in does not load at all.
bool runValidation(const ValidationSettings& settings, ValidationDisplay display, std::ostream& out,
                   std::vector<CheckOutcome>& outcomes);

// The outcomes as a JSON document.
std::string validationReportJson(const ValidationSettings& settings, const std::vector<CheckOutcome>& outcomes);
