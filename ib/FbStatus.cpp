#include "FbStatus.h"

#include "IBError.h"

namespace {

class TThreadStatus
{
public:
    TThreadStatus() : FStatus(Firebird::fb_get_master_interface()->getStatus()), FWrapper(FStatus) {}
    ~TThreadStatus() { FStatus->dispose(); }
    TThreadStatus(const TThreadStatus &) = delete;
    TThreadStatus &operator=(const TThreadStatus &) = delete;

    Firebird::CheckStatusWrapper &Fresh()
    {
        FWrapper.init();
        return FWrapper;
    }

private:
    Firebird::IStatus *FStatus;
    Firebird::CheckStatusWrapper FWrapper;
};

} // namespace

Firebird::CheckStatusWrapper &FreshStatus()
{
    thread_local TThreadStatus status;
    return status.Fresh();
}

bool Failed(Firebird::CheckStatusWrapper &status)
{
    return (status.getState() & Firebird::IStatus::STATE_ERRORS) != 0;
}

void CheckStatus(Firebird::CheckStatusWrapper &status, const QString &sqlText)
{
    if (Failed(status))
        throw EIBError::FromStatus(status.getErrors(), sqlText);
}
