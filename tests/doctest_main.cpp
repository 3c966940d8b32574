#define DOCTEST_CONFIG_IMPLEMENT
#include <doctest.h>

#include <cstdio>

namespace {

// Whether the run checked anything: a lane whose filters match no test case would otherwise pass
// having run nothing.
struct TestCasesRun : doctest::IReporter {
    static inline unsigned matched = 0;

    explicit TestCasesRun(const doctest::ContextOptions&) {}
    void report_query(const doctest::QueryData&) override {}
    void test_run_start() override {}
    void test_run_end(const doctest::TestRunStats& stats) override { matched = stats.numTestCasesPassingFilters; }
    void test_case_start(const doctest::TestCaseData&) override {}
    void test_case_reenter(const doctest::TestCaseData&) override {}
    void test_case_end(const doctest::CurrentTestCaseStats&) override {}
    void test_case_exception(const doctest::TestCaseException&) override {}
    void subcase_start(const doctest::SubcaseSignature&) override {}
    void subcase_end() override {}
    void log_assert(const doctest::AssertData&) override {}
    void log_message(const doctest::MessageData&) override {}
    void test_case_skipped(const doctest::TestCaseData&) override {}
};

REGISTER_LISTENER("test-cases-run", 1, TestCasesRun);

}  // namespace

int main(int argc, char** argv)
{
    doctest::Context context(argc, argv);
    const int result = context.run();
    if (context.shouldExit() || result != 0)
        return result;
    if (TestCasesRun::matched == 0) {
        std::fprintf(stderr, "no test case matched the filters: nothing was checked\n");
        return 1;
    }
    return 0;
}
