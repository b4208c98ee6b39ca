// quorvane-render --validate run as a program on test plug-ins with one planted fault
// each, on a clean one and on our own plug-in.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "tests/render/RenderTestSupport.h"

namespace {

struct Validation {
    int exitCode = -1;
    std::string out;
};

Validation validate(const std::string& plugin, int level, const std::string& report) {
    const std::string command = std::string(QV_RENDER_TOOL) + " --validate " + plugin + " --level " +
                                std::to_string(level) + " --report " + report + " 2>/dev/null";
    Validation run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.out.append(buffer, got);
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string lineStartingWith(const std::string& text, const std::string& start) {
    const std::string::size_type at = text.find("\n" + start);
    if (at == std::string::npos) return "";
    return text.substr(at + 1, text.find('\n', at + 1) - at - 1);
}

struct Case {
    const char* plugin;
    int level;
    const char* failedCheck;  // the start of the one line that must fail, or null for none
    const char* finding;      // a text the report must hold
};

void expectVerdict(const Case& test, const Validation& run, const std::string& report) {
    EXPECT_NE(run.out.find(test.finding), std::string::npos) << run.out;
    if (!test.failedCheck) {
        EXPECT_EQ(run.exitCode, 0) << run.out;
        EXPECT_NE(run.out.find(" passed, 0 failed\n"), std::string::npos) << run.out;
        EXPECT_NE(report.find("\"failed\": 0,"), std::string::npos) << report;
        return;
    }
    EXPECT_EQ(run.exitCode, 16) << run.out;
    EXPECT_NE(lineStartingWith(run.out, test.failedCheck).find("FAILED"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find(" passed, 1 failed\n"), std::string::npos) << run.out;
    EXPECT_NE(report.find("\"failed\": 1,"), std::string::npos) << report;
}

}  // namespace

TEST(Validate, FindsEachPlantedFaultAndPassesCleanPlugins) {
    struct Run { Case test; bool needsDisplay; };
    const Run runs[] = {
        {{FAKE_CLEAN_PATH, 3, nullptr, "closed from inside the idle"}, true},
        {{QV_PLUGIN_PATH, 3, nullptr, "6 damaged settings files tried"}, false},
        {{FAKE_NAN_ON_SILENCE_PATH, 1, "3 audio", "NaN in output 1"}, false},
        {{FAKE_CRASH_ON_IDLE_CLOSE_PATH, 1, "6 editor", "during closing from inside the idle"}, true},
        {{FAKE_LONG_DISPLAY_PATH, 1, "2 programs", "parameter 1 display text is longer than the 64-byte buffer"}, false},
    };
    const bool display = std::getenv("DISPLAY") != nullptr;
    ScratchDirectory scratch;
    for (const Run& r : runs) {
        SCOPED_TRACE(r.test.plugin);
        if (r.needsDisplay && !display) continue;
        const Validation run = validate(r.test.plugin, r.test.level, scratch.file("report.json"));
        expectVerdict(r.test, run, readFile(scratch.file("report.json")));
    }
    if (!display) GTEST_SKIP() << "the editor checks: no X display (the others ran)";
}

TEST(Validate, FindsAnAllocationOnTheAudioThread) {
    const Case test{FAKE_ALLOCATES_PATH, 3, "4 automation", "malloc called"};
    ScratchDirectory scratch;
    const Validation run = validate(test.plugin, test.level, scratch.file("report.json"));
    if (run.out.find("call monitor is not loaded") != std::string::npos) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
        GTEST_SKIP() << "the call monitor cannot be preloaded (a sanitizer's allocator must come first)";
#else
        FAIL() << "the call monitor did not load: " << run.out;
#endif
    }
    expectVerdict(test, run, readFile(scratch.file("report.json")));
}
