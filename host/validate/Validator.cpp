#include "host/validate/Validator.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <sstream>

#include "host/ExitCode.h"
#include "host/OpenPlugin.h"
#include "host/platform/IsolatedRun.h"

namespace {

struct CheckEntry {
    const char* name;
    void (*run)(const ValidationSettings&, CheckLog&);
};

const CheckEntry kChecks[] = {
    {"scan and identity", checkScanAndIdentity},
    {"programs and parameters", checkProgramsAndParameters},
    {"audio at every rate and block size", checkAudio},
    {"automation under load", checkAutomation},
    {"real-time margin", checkRealtimeMargin},
    {"editor", checkEditor},
    {"configuration and state", checkConfiguration},
    {"host misuse", checkHostMisuse},
};

// Generous: a check that has not finished by then has hung.
double timeoutSeconds(int level) { return 60.0 * level + 60.0; }

CheckLog runInChild(const CheckEntry& check, const ValidationSettings& settings, std::string& printed) {
    const IsolatedRun run = runIsolated(
        [&] {
            CheckLog log;
            try {
                check.run(settings, log);
            } catch (const std::exception& error) {
                log.fail(error.what());
            }
            return log.serialise();
        },
        timeoutSeconds(settings.level));
    printed = run.printed;
    CheckLog log = run.finished ? CheckLog::parse(run.output) : CheckLog();
    if (!run.finished) log.fail(run.failure);
    return log;
}

std::size_t lineCount(const std::string& text) {
    if (text.empty()) return 0;
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + (text.back() == '\n' ? 0 : 1);
}

// A plug-in that does not load fails no check: it is not a plug-in to check. The load is
// tried in a child too, in case it crashes; check 1 reports that.
void requireLoadable(const ValidationSettings& settings) {
    const IsolatedRun run = runIsolated(
        [&] {
            try {
                openPlugin(settings.pluginPath, {settings.pluginId, 0});
            } catch (const HostError& error) {
                return std::to_string(static_cast<int>(error.code)) + " " + error.what();
            }
            return std::string();
        },
        timeoutSeconds(1));
    if (!run.finished || run.output.empty()) return;
    const std::string::size_type space = run.output.find(' ');
    throw HostError(static_cast<ExitCode>(std::stoi(run.output.substr(0, space))), run.output.substr(space + 1));
}

std::string statusWord(const CheckLog& log) {
    switch (log.status()) {
        case CheckStatus::Passed: return "passed";
        case CheckStatus::Failed: return "FAILED";
        case CheckStatus::Skipped: return "skipped: " + log.skipReason;
    }
    return "";
}

// The report file has every entry; the screen the first few of each kind.
constexpr std::size_t kListedEntries = 12;

void printEntries(const char* prefix, const std::vector<std::string>& entries, std::ostream& out) {
    for (std::size_t i = 0; i < entries.size() && i < kListedEntries; ++i) out << prefix << entries[i] << "\n";
    if (entries.size() > kListedEntries)
        out << prefix << "... and " << entries.size() - kListedEntries << " more (see --report)\n";
}

void printOutcome(const CheckOutcome& outcome, ValidationDisplay display, std::ostream& out) {
    const bool failed = outcome.log.status() == CheckStatus::Failed;
    if (display == ValidationDisplay::OneLine || (display == ValidationDisplay::FailuresOnly && !failed)) return;
    char line[200];
    std::string title = std::to_string(outcome.number) + " " + outcome.name + " ";
    title.resize(40, '.');
    std::snprintf(line, sizeof line, "%s %7.2f s  %s", title.c_str(), outcome.seconds, statusWord(outcome.log).c_str());
    out << line;
    if (const std::size_t count = outcome.log.warnings.size())
        out << " (" << count << (count == 1 ? " warning)" : " warnings)");
    out << "\n";
    printEntries("    fail: ", outcome.log.failures, out);
    if (display == ValidationDisplay::FailuresOnly) return;
    printEntries("    warning: ", outcome.log.warnings, out);
    printEntries("    ", outcome.log.notes, out);
    if (const std::size_t lines = lineCount(outcome.printed)) {
        if (display != ValidationDisplay::Verbose) {
            out << "    the plug-in printed " << lines << (lines == 1 ? " line" : " lines") << " (see --verbose)\n";
        } else {
            out << "    the plug-in printed:\n";
            std::istringstream printed(outcome.printed);
            for (std::string printedLine; std::getline(printed, printedLine);) out << "    | " << printedLine << "\n";
        }
    }
    out.flush();
}

void printOneLine(const ValidationSettings& settings, int passed, int failed, const std::vector<CheckOutcome>& outcomes,
                  std::ostream& out) {
    out << settings.pluginPath << ": " << passed << " passed, " << failed << " failed";
    std::string names;
    for (const CheckOutcome& outcome : outcomes)
        if (outcome.log.status() == CheckStatus::Failed)
            names += (names.empty() ? "" : ", ") + std::to_string(outcome.number) + " " + outcome.name;
    out << (names.empty() ? "" : " (" + names + ")") << "\n";
}

std::string jsonText(const std::string& text) {
    std::string quoted = "\"";
    for (unsigned char c : text) {
        if (c == '"' || c == '\\') {
            quoted += '\\';
            quoted += static_cast<char>(c);
        } else if (c < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            quoted += escape;
        } else {
            quoted += static_cast<char>(c);
        }
    }
    return quoted + "\"";
}

std::string jsonList(const std::vector<std::string>& texts) {
    std::string list = "[";
    for (std::size_t i = 0; i < texts.size(); ++i) list += (i ? ", " : "") + jsonText(texts[i]);
    return list + "]";
}

}  // namespace

bool runValidation(const ValidationSettings& settings, ValidationDisplay display, std::ostream& out,
                   std::vector<CheckOutcome>& outcomes) {
    requireLoadable(settings);
    const bool full = display == ValidationDisplay::Full || display == ValidationDisplay::Verbose;
    if (full)
        out << "validating " << settings.pluginPath << " at level " << settings.level << ", seed " << settings.seed
            << "\n";
    out.flush();
    int passed = 0, failed = 0;
    int number = 0;
    for (const CheckEntry& check : kChecks) {
        CheckOutcome outcome;
        outcome.number = ++number;
        outcome.name = check.name;
        const auto start = std::chrono::steady_clock::now();
        outcome.log = runInChild(check, settings, outcome.printed);
        outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        printOutcome(outcome, display, out);
        if (outcome.log.status() == CheckStatus::Passed) ++passed;
        if (outcome.log.status() == CheckStatus::Failed) ++failed;
        outcomes.push_back(outcome);
    }
    if (display == ValidationDisplay::OneLine) printOneLine(settings, passed, failed, outcomes, out);
    else out << passed << " passed, " << failed << " failed\n";
    return failed == 0;
}

std::string validationReportJson(const ValidationSettings& settings, const std::vector<CheckOutcome>& outcomes) {
    int passed = 0, failed = 0;
    std::string checks;
    for (const CheckOutcome& outcome : outcomes) {
        const CheckStatus status = outcome.log.status();
        passed += status == CheckStatus::Passed;
        failed += status == CheckStatus::Failed;
        const char* word = status == CheckStatus::Passed ? "passed" : status == CheckStatus::Failed ? "failed" : "skipped";
        char seconds[32];
        std::snprintf(seconds, sizeof seconds, "%.3f", outcome.seconds);
        checks += std::string(checks.empty() ? "" : ",\n") + "    {\"number\": " + std::to_string(outcome.number) +
                  ", \"name\": " + jsonText(outcome.name) + ", \"result\": \"" + word + "\", \"seconds\": " + seconds +
                  ",\n     \"skipReason\": " + jsonText(outcome.log.skipReason) +
                  ", \"failures\": " + jsonList(outcome.log.failures) + ",\n     \"warnings\": " +
                  jsonList(outcome.log.warnings) + ", \"notes\": " + jsonList(outcome.log.notes) +
                  ",\n     \"printed\": " + jsonText(outcome.printed) + "}";
    }
    return "{\n  \"plugin\": " + jsonText(settings.pluginPath) + ",\n  \"level\": " + std::to_string(settings.level) +
           ",\n  \"seed\": " + std::to_string(settings.seed) + ",\n  \"passed\": " + std::to_string(passed) +
           ",\n  \"failed\": " + std::to_string(failed) + ",\n  \"checks\": [\n" + checks + "\n  ]\n}\n";
}
