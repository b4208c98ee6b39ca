#include "host/validate/CheckLog.h"

#include <sstream>

namespace {

// One entry per line: a kind letter, a space, the text with line breaks flattened.
void writeEntries(std::ostringstream& out, char kind, const std::vector<std::string>& entries) {
    for (std::string text : entries) {
        for (char& c : text)
            if (c == '\n' || c == '\r') c = ' ';
        out << kind << ' ' << text << '\n';
    }
}

}  // namespace

void CheckLog::add(std::vector<std::string>& list, const std::string& text) {
    if (list.size() >= kMaxEntries) return;
    for (const std::string& earlier : list)
        if (earlier == text) return;
    list.push_back(text);
}

CheckStatus CheckLog::status() const {
    if (!failures.empty()) return CheckStatus::Failed;
    return skipReason.empty() ? CheckStatus::Passed : CheckStatus::Skipped;
}

std::string CheckLog::serialise() const {
    std::ostringstream out;
    writeEntries(out, 'F', failures);
    writeEntries(out, 'W', warnings);
    writeEntries(out, 'N', notes);
    if (!skipReason.empty()) writeEntries(out, 'S', {skipReason});
    return out.str();
}

CheckLog CheckLog::parse(const std::string& text) {
    CheckLog log;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (line.size() < 2) continue;
        const std::string entry = line.substr(2);
        switch (line[0]) {
            case 'F': log.failures.push_back(entry); break;
            case 'W': log.warnings.push_back(entry); break;
            case 'N': log.notes.push_back(entry); break;
            case 'S': log.skipReason = entry; break;
        }
    }
    return log;
}
