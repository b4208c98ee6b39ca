// What one check found: failures, warnings and notes, or why it was skipped.
#pragma once

#include <string>
#include <vector>

enum class CheckStatus { Passed, Failed, Skipped };

class CheckLog {
public:
    void fail(const std::string& text) { add(failures, text); }
    void warn(const std::string& text) { add(warnings, text); }
    void note(const std::string& text) { add(notes, text); }
    void skip(const std::string& reason) { skipReason = reason; }

    CheckStatus status() const;
    bool failed() const { return !failures.empty(); }

    // A line-based form that crosses from the child process that ran the check.
    std::string serialise() const;
    static CheckLog parse(const std::string& text);

    std::vector<std::string> failures;
    std::vector<std::string> warnings;
    std::vector<std::string> notes;
    std::string skipReason;

private:
    // Repeats are dropped; a plug-in that fails everywhere is not listed without end.
    static constexpr std::size_t kMaxEntries = 500;
    static void add(std::vector<std::string>& list, const std::string& text);
};
