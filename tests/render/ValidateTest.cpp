// quorvane-render --validate run as a program on test plug-ins with one planted fault
// each, on a clean one and on our own plug-in.
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "tests/render/RenderTestSupport.h"

namespace {

struct Validation {
    int exitCode = -1;
    std::string out;
};

// The tool as a program; command is what runs it, environment and options included.
Validation run(const std::string& command) {
    Validation result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) result.out.append(buffer, got);
    const int status = pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string lineStartingWith(const std::string& text, const std::string& start) {
    const std::string lines = "\n" + text;
    const std::string::size_type at = lines.find("\n" + start);
    if (at == std::string::npos) return "";
    return lines.substr(at + 1, lines.find('\n', at + 1) - at - 1);
}

std::string fake(const char* name) { return std::string(FAKE_PLUGIN_DIR) + "/" + name + ".so"; }

struct Case {
    std::string plugin;
    int level;
    std::string options;      // more options; "env ..." before the tool, "tool=PATH" for another copy
    const char* failedCheck;  // the start of the one line that must fail ("" one line), or null for none
    const char* finding;      // a text the output must hold
    const char* absent;       // a text it must not hold, or null
    bool needsDisplay;
};

Validation validate(const Case& test, const std::string& reportPath) {
    const std::string tool = std::string("'") + QV_RENDER_TOOL + "'";
    const bool otherTool = test.options.rfind("tool=", 0) == 0;
    const std::string environment = test.options.rfind("env ", 0) == 0 ? test.options : "";
    const std::string options = otherTool || !environment.empty() ? "" : test.options;
    return run(environment + (otherTool ? test.options.substr(5) : tool) + " --validate '" + test.plugin +
               "' --level " + std::to_string(test.level) + " " + options + " --report " + reportPath + " 2>&1");
}

void expectVerdict(const Case& test, const Validation& result, const std::string& report) {
    EXPECT_NE(result.out.find(test.finding), std::string::npos) << result.out;
    if (test.absent) {
        EXPECT_EQ(result.out.find(test.absent), std::string::npos) << result.out;
    }
    if (!test.failedCheck) {
        EXPECT_EQ(result.exitCode, 0) << result.out;
        EXPECT_NE(result.out.find(" passed, 0 failed\n"), std::string::npos) << result.out;
        EXPECT_NE(report.find("\"failed\": 0,"), std::string::npos) << report;
        return;
    }
    EXPECT_EQ(result.exitCode, 16) << result.out;
    const std::string failedLine = *test.failedCheck ? lineStartingWith(result.out, test.failedCheck) : "FAILED";
    EXPECT_NE(failedLine.find("FAILED"), std::string::npos) << result.out;
    if (!*test.failedCheck) {
        EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 1) << result.out;
    }
    EXPECT_NE(result.out.find(" passed, 1 failed"), std::string::npos) << result.out;
    EXPECT_NE(report.find("\"failed\": 1,"), std::string::npos) << report;
}

}  // namespace

TEST(Validate, FindsEachPlantedFaultAndPassesCleanPlugins) {
    const char* noDisplay = "env -u DISPLAY ";
    const Case cases[] = {
        {fake("fake_clean"), 3, "", nullptr, "closed from inside the idle", nullptr, true},
        {QV_PLUGIN_PATH, 3, "", nullptr, "6 damaged settings files tried", nullptr, false},
        {fake("fake_nan_on_silence"), 1, "", "3 audio", "NaN in output 1", nullptr, false},
        {fake("fake_crash_on_idle_close"), 1, "", "6 editor", "during closing from inside the idle", nullptr, true},
        {fake("fake_long_display"), 1, "", "2 programs", "parameter 1 display text is longer than the 64-byte buffer",
         nullptr, false},
        {fake("fake_editor_needs_display"), 1, noDisplay, nullptr, "skipped: no display", nullptr, false},
        {fake("fake_no_program_name"), 1, "", nullptr, "program 0 name: the plug-in wrote no text", "longer than", false},
        {fake("fake_loud"), 1, "", nullptr, "very loud output, +", nullptr, false},
        {fake("fake_loud"), 1, "", nullptr, "with --param 0=0.5 --param 1=1\n", nullptr, false},
        {fake("fake_chatty"), 1, "", nullptr, "printed 20 line(s) on standard output over 20 loads", "resumed", false},
        {fake("fake_chatty"), 1, "", nullptr, " lines (see --verbose)\n", "resumed", false},
        {fake("fake_chatty"), 1, "--verbose", nullptr, "\n    | Faulty: resumed\n", nullptr, false},
        {fake("fake_trusts_indices"), 1, "", "8 host misuse", "during parameter 2, past the count", nullptr, false},
        // How the crash reads depends on the build (a sanitizer turns the signal into an exit).
        {fake("fake_crash_on_empty_block"), 1, "", "8 host misuse", ", during a block of 0 frames", nullptr, false},
        {fake("fake_crash_on_nan_rate"), 1, "", nullptr, "warning: sample rate NaN (no host sends it): ",
         "sample rate -44100", false},
        {fake("fake_nan_on_silence"), 1, "-q", "3 audio", "    fail: ", "1 scan and identity", false},
        {fake("fake_nan_on_silence"), 1, "--brief", "", " passed, 1 failed (3 audio at every rate and block size)\n",
         "scan", false},
    };
    const bool display = std::getenv("DISPLAY") != nullptr;
    ScratchDirectory scratch;
    for (const Case& test : cases) {
        SCOPED_TRACE(test.plugin + " " + test.options);
        if (test.needsDisplay && !display) continue;
        const Validation result = validate(test, scratch.file("report.json"));
        expectVerdict(test, result, readFile(scratch.file("report.json")));
    }
    if (!display) GTEST_SKIP() << "the editor checks: no X display (the others ran)";
}

// The call monitor finds an allocation from wherever the tool is installed, a folder whose
// name has a space included; without the monitor the check fails rather than passes.
TEST(Validate, FindsAnAllocationOnTheAudioThread) {
    ScratchDirectory scratch;
    const std::string spaced = scratch.file("my tools"), alone = scratch.file("alone");
    std::filesystem::create_directories(spaced);
    std::filesystem::create_directories(alone);
    std::filesystem::copy_file(QV_RENDER_TOOL, spaced + "/quorvane-render");
    std::filesystem::copy_file(QV_MONITOR_PATH, spaced + "/quorvane-rt-monitor.so");
    std::filesystem::copy_file(QV_RENDER_TOOL, alone + "/quorvane-render");
    const Case cases[] = {
        {fake("fake_allocates"), 3, "", "4 automation", "malloc called", nullptr, false},
        {fake("fake_allocates"), 3, "tool='" + spaced + "/quorvane-render'", "4 automation", "malloc called", nullptr,
         false},
        {fake("fake_clean"), 3, "tool='" + alone + "/quorvane-render'", "4 automation", "could not be loaded", nullptr,
         false},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.plugin + " " + test.options);
        const Validation result = validate(test, scratch.file("report.json"));
        if (result.out.find("cannot be counted in this build") != std::string::npos) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
            GTEST_SKIP() << "the call monitor cannot be preloaded (a sanitizer's allocator must come first)";
#else
            FAIL() << "the call monitor did not load: " << result.out;
#endif
        }
        expectVerdict(test, result, readFile(scratch.file("report.json")));
    }
}

// A seed repeats a run: the parameter changes of checks 4 and 6 come out the same.
TEST(Validate, TheSameSeedRepeatsTheChanges) {
    if (!std::getenv("DISPLAY")) GTEST_SKIP() << "check 6 needs a display";
    std::string changes[2];
    for (std::string& lines : changes) {
        const Validation result = run(std::string(QV_RENDER_TOOL) + " --validate " + fake("fake_clean") + " --level 1 --seed 7");
        std::istringstream in(result.out);
        for (std::string line; std::getline(in, line);)
            if (line.find(" changes") != std::string::npos) lines += line + "\n";
    }
    EXPECT_EQ(std::count(changes[0].begin(), changes[0].end(), '\n'), 2) << changes[0];
    EXPECT_EQ(changes[0], changes[1]);
}
