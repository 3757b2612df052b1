#include <cstdio>

// Reports a pass the way GoogleTest does (flushed: the leak checker ends the process without
// flushing) and leaks: the leak checker must still fail the run.
namespace {

int* volatile allocation;

// Apart, so that no register or stack slot of main keeps the address.
__attribute__((noinline)) void leak()
{
    for (int i = 0; i < 8; ++i)
        allocation = new int[4];
    allocation = nullptr;
}

} // namespace

int main()
{
    leak();
    std::puts("[  PASSED  ] 1 test.");
    std::fflush(stdout);
    return 0;
}
