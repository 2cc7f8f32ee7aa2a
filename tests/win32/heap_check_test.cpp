// After every Win32 test, every heap of the process is validated: MinGW has
// no address sanitizer, so a write past a block or a double free in the
// windows' code shows here or nowhere. A corrupt heap ends the run with a
// message, which fails the test that ran last.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

bool HeapsAreValid() {
    std::vector<HANDLE> heaps(::GetProcessHeaps(0, nullptr) + 16);
    heaps.resize(::GetProcessHeaps(static_cast<DWORD>(heaps.size()), heaps.data()));
    for (HANDLE heap : heaps)
        if (!::HeapValidate(heap, 0, nullptr))
            return false;
    return true;
}

class HeapCheck : public testing::EmptyTestEventListener {
    void OnTestEnd(const testing::TestInfo& test) override {
        if (HeapsAreValid())
            return;
        std::fprintf(stderr, "heap corrupted by %s.%s\n", test.test_suite_name(), test.name());
        std::fflush(stderr);
        std::_Exit(3);
    }
};

const bool registered = [] {
    testing::UnitTest::GetInstance()->listeners().Append(new HeapCheck);
    return true;
}();

} // namespace
