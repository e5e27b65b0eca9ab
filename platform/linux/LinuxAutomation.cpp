#include "platform/Automation.h"

namespace platform {
namespace {

// The Linux desktop has no COM automation servers: no ProgID is registered, so every route that needs
// Word, WPS or Acrobat answers as it does on a Windows machine without them.
class LinuxAutomation final : public Automation
{
public:
    bool initializeApartment() override { return false; }
    void uninitializeApartment() override {}
    bool classIdFromProgId(const QString &, QUuid *classId) override
    {
        if (classId)
            *classId = QUuid();
        return false;
    }
    UnknownPtr activeObject(const QUuid &) override { return UnknownPtr(); }
    DispatchPtr createLocalServer(const QUuid &) override { return DispatchPtr(); }
};

}  // namespace

std::unique_ptr<Automation> createSystemAutomation()
{
    return std::make_unique<LinuxAutomation>();
}

}  // namespace platform
