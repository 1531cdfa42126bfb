#include "redirection_guard.h"

#include <windows.h>

#include "../cleaning/system_dll.h"

// An administrator may run the program, and an ordinary user may be able to
// replace the data folder by a junction to any other folder: the guard keeps
// such a run out of it, as if the folder were missing. Looked up, not
// imported: Windows XP, Vista and 7 lack SetProcessMitigationPolicy, and
// where Windows does not know the policy the call fails and nothing else
// changes.
void GuardAgainstRedirection()
{
    auto *setMitigationPolicy = FindFunction<decltype(SetProcessMitigationPolicy)>(GetModuleHandleW(L"kernel32.dll"),
                                                                                   "SetProcessMitigationPolicy");
    if (setMitigationPolicy == NULL) {
        return;
    }
    PROCESS_MITIGATION_REDIRECTION_TRUST_POLICY policy = {};
    policy.EnforceRedirectionTrust = 1;
    setMitigationPolicy(ProcessRedirectionTrustPolicy, &policy, sizeof(policy));
}
