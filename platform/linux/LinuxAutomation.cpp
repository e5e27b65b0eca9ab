#include "platform/Automation.h"

namespace platform {
namespace {

// The Linux desktop has no COM automation servers: the routes through Word, WPS and Acrobat are not
// available, and no ProgID is registered.
class LinuxAutomation final : public Automation
{
public:
    bool hasServers() override { return false; }
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
