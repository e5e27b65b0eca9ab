// Keeps the test-support library non-empty; shared fakes and service harnesses sit beside this file.
namespace ollavan::testsupport {
int anchor()
{
    return 0;
}
}  // namespace ollavan::testsupport
