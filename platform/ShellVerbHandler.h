#pragma once

#include "platform/DocumentHandler.h"
#include "platform/Shell.h"

#include <memory>

namespace platform {

// Printing a Word or WPS document the Windows way: the program the desktop registered for the shell's
// "printto" verb gets the file and the printer's name in double quotes, and is waited for at most 10 s
// until it is ready for input, then at most 30 s until it ends. A handler that runs longer is left running
// and the job counts as sent. Written over the Shell calls, so that tests run it against a fake.
class ShellVerbHandler final : public DocumentHandler
{
public:
    explicit ShellVerbHandler(std::unique_ptr<Shell> shell);

    HandlerAnswer print(const QString &filePath, const QString &printerName) override;
    int pageCount(const QString &filePath) override;

private:
    std::unique_ptr<Shell> shell;
};

}  // namespace platform
