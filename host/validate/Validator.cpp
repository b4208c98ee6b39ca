#include "host/validate/Validator.h"

#include <chrono>
#include <cstdio>

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
};

// Generous: a check that has not finished by then has hung.
double timeoutSeconds(int level) { return 60.0 * level + 60.0; }

CheckLog runInChild(const CheckEntry& check, const ValidationSettings& settings) {
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
    if (run.finished) return CheckLog::parse(run.output);
    CheckLog log;
    log.fail(run.failure);
    return log;
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

void printOutcome(const CheckOutcome& outcome, std::ostream& out) {
    char line[200];
    std::string title = std::to_string(outcome.number) + " " + outcome.name + " ";
    title.resize(40, '.');
    std::snprintf(line, sizeof line, "%s %7.2f s  %s", title.c_str(), outcome.seconds, statusWord(outcome.log).c_str());
    out << line;
    if (const std::size_t count = outcome.log.warnings.size())
        out << " (" << count << (count == 1 ? " warning)" : " warnings)");
    out << "\n";
    printEntries("    fail: ", outcome.log.failures, out);
    printEntries("    warning: ", outcome.log.warnings, out);
    printEntries("    ", outcome.log.notes, out);
    out.flush();
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

bool runValidation(const ValidationSettings& settings, std::ostream& out, std::vector<CheckOutcome>& outcomes) {
    out << "validating " << settings.pluginPath << " at level " << settings.level << ", seed " << settings.seed << "\n";
    out.flush();
    int passed = 0, failed = 0;
    int number = 0;
    for (const CheckEntry& check : kChecks) {
        CheckOutcome outcome;
        outcome.number = ++number;
        outcome.name = check.name;
        const auto start = std::chrono::steady_clock::now();
        outcome.log = runInChild(check, settings);
        outcome.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        printOutcome(outcome, out);
        if (outcome.log.status() == CheckStatus::Passed) ++passed;
        if (outcome.log.status() == CheckStatus::Failed) ++failed;
        outcomes.push_back(outcome);
    }
    out << passed << " passed, " << failed << " failed\n";
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
                  jsonList(outcome.log.warnings) + ", \"notes\": " + jsonList(outcome.log.notes) + "}";
    }
    return "{\n  \"plugin\": " + jsonText(settings.pluginPath) + ",\n  \"level\": " + std::to_string(settings.level) +
           ",\n  \"seed\": " + std::to_string(settings.seed) + ",\n  \"passed\": " + std::to_string(passed) +
           ",\n  \"failed\": " + std::to_string(failed) + ",\n  \"checks\": [\n" + checks + "\n  ]\n}\n";
}
