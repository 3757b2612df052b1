// Leaks: under the options every test runs with, the leak checker must report it.
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
    return 0;
}
