// The main of every test program. Beyond gtest's own, two answers in the exit status,
// where ctest reads them: a program in which a test skipped itself and none failed exits
// 77 (SKIP_RETURN_CODE: shown as skipped) after a line "Skipped, not run: <test>: <reason>"
// per skip; a filter that selects no test fails rather than passing on nothing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    if (RUN_ALL_TESTS() != 0) return 1;
    const testing::UnitTest& run = *testing::UnitTest::GetInstance();
    if (run.test_to_run_count() == 0) {
        std::puts("No test selected, none ran");
        return 1;
    }
    int skipped = 0;
    for (int s = 0; s < run.total_test_suite_count(); ++s) {
        const testing::TestSuite& suite = *run.GetTestSuite(s);
        for (int t = 0; t < suite.total_test_count(); ++t) {
            const testing::TestInfo& test = *suite.GetTestInfo(t);
            if (!test.should_run() || !test.result()->Skipped()) continue;
            std::string reason;
            for (int p = 0; p < test.result()->total_part_count(); ++p)
                if (test.result()->GetTestPartResult(p).skipped()) reason = test.result()->GetTestPartResult(p).message();
            std::printf("Skipped, not run: %s.%s: %s\n", suite.name(), test.name(), reason.c_str());
            ++skipped;
        }
    }
    std::fflush(stdout);
    return skipped ? 77 : 0;
}
